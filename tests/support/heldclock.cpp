#include "heldclock.h"

#include <QPointer>

namespace nimbra::test {

void HeldClock::setOpen(bool open)
{
    m_open = open;
    if (open)
        releaseRunning();
}

void HeldClock::releaseRunning()
{
    const QList<std::shared_ptr<Sleeper>> sleepers = m_sleepers;
    for (const auto &sleeper : sleepers)
        wake(sleeper);
}

void HeldClock::wake(const std::shared_ptr<Sleeper> &sleeper)
{
    if (sleeper->woken)
        return;
    sleeper->woken = true;
    m_sleepers.removeOne(sleeper);
    // Posted to the clock: a clock destroyed first resumes nothing.
    QMetaObject::invokeMethod(
        this,
        [sleeper] {
            if (sleeper->handle)
                sleeper->handle.resume();
        },
        Qt::QueuedConnection);
}

QCoro::Task<> HeldClock::sleep(std::chrono::milliseconds duration, CancelToken token)
{
    asked.append(duration);
    if (m_open || token.isCancelled()) {
        ++ended;
        co_return;
    }
    QPointer<HeldClock> self(this);
    ++running;
    auto sleeper = std::make_shared<Sleeper>();
    m_sleepers.append(sleeper);
    const CancelRegistration wakeOnCancel(token, [self, sleeper] {
        if (self)
            self->wake(sleeper);
    });

    struct Awaiter
    {
        std::shared_ptr<Sleeper> sleeper;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) noexcept { sleeper->handle = handle; }
        void await_resume() const noexcept { }
    };
    // A named awaiter: g++ 12 destroys a braced temporary twice.
    Awaiter awaiter {sleeper};
    co_await awaiter;
    if (self) {
        --self->running;
        ++self->ended;
    }
}

} // namespace nimbra::test
