#include "heldclock.h"

#include <QPointer>

#include <QCoro/QCoroSignal>

namespace nimbra::test {

void HeldClock::setOpen(bool open)
{
    m_open = open;
    if (open)
        emit wake();
}

void HeldClock::releaseRunning()
{
    ++m_releases;
    emit wake();
}

QCoro::Task<> HeldClock::sleep(std::chrono::milliseconds duration, CancelToken token)
{
    asked.append(duration);
    QPointer<HeldClock> self(this);
    ++running;
    const quint64 releases = m_releases;
    const CancelRegistration registration(token, [self] {
        if (self)
            emit self->wake();
    });
    while (self && !self->m_open && self->m_releases == releases && !token.isCancelled())
        co_await qCoro(self.data(), &HeldClock::wake);
    if (self) {
        --self->running;
        ++self->ended;
    }
}

} // namespace nimbra::test
