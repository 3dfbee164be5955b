#include "player/heldstart.h"

#include "api/clock.h"

#include <utility>

namespace nimbra {

HeldStart::HeldStart(Clock *clock, std::function<void(const QUrl &)> start)
    : m_clock(clock), m_start(std::move(start))
{
}

void HeldStart::hold(const QUrl &source)
{
    m_source = source;
    startWhenSettled(m_wait.renew());
}

std::optional<QUrl> HeldStart::take()
{
    m_wait.cancel();
    return std::exchange(m_source, std::nullopt);
}

QCoro::Task<> HeldStart::startWhenSettled(CancelToken token)
{
    Clock *clock = m_clock;
    co_await clock->sleep(settle, token);
    // A cancelled wait may end after its owner went.
    if (token.isCancelled())
        co_return;
    m_wait.finish(token);
    if (const std::optional<QUrl> source = take())
        m_start(*source);
}

} // namespace nimbra
