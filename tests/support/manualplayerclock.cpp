#include "manualplayerclock.h"

namespace nimbra::test {

ManualPlayerClock::ManualPlayerClock(QDateTime start) : m_wall(std::move(start)) { }

ManualPlayerClock::~ManualPlayerClock()
{
    // Frames still asleep are never resumed; forget them.
    for (const auto &sleeper : m_sleepers)
        sleeper->woken = true;
}

QCoro::Task<> ManualPlayerClock::sleep(std::chrono::milliseconds duration, CancelToken token)
{
    if (token.isCancelled())
        co_return;
    auto sleeper = std::make_shared<Sleeper>();
    sleeper->deadline = m_monotonic + duration;
    m_sleepers.append(sleeper);
    CancelRegistration wakeOnCancel(token, [this, sleeper] { wake(sleeper); });

    struct Awaiter
    {
        std::shared_ptr<Sleeper> sleeper;
        bool await_ready() const noexcept { return sleeper->woken; }
        void await_suspend(std::coroutine_handle<> handle) noexcept { sleeper->handle = handle; }
        void await_resume() const noexcept { }
    };
    co_await Awaiter {sleeper};
}

void ManualPlayerClock::wake(const std::shared_ptr<Sleeper> &sleeper)
{
    if (sleeper->woken)
        return;
    sleeper->woken = true;
    m_sleepers.removeOne(sleeper);
    if (sleeper->handle)
        sleeper->handle.resume();
}

void ManualPlayerClock::advance(std::chrono::milliseconds step)
{
    m_monotonic += step;
    m_wall = m_wall.addMSecs(step.count());
    QList<std::shared_ptr<Sleeper>> due;
    for (const auto &sleeper : m_sleepers) {
        if (sleeper->deadline <= m_monotonic)
            due.append(sleeper);
    }
    for (const auto &sleeper : due)
        wake(sleeper);
}

} // namespace nimbra::test
