#include "manualclock.h"

namespace nimbra::test {

ManualClock::ManualClock(QDateTime start) : m_wall(std::move(start)) { }

ManualClock::~ManualClock()
{
    // Frames still asleep are never resumed; forget them.
    for (const auto &sleeper : m_sleepers)
        sleeper->woken = true;
}

QCoro::Task<> ManualClock::sleep(std::chrono::milliseconds duration, CancelToken token)
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
    // A named awaiter: g++ 12 destroys a braced temporary twice.
    Awaiter awaiter {sleeper};
    co_await awaiter;
}

void ManualClock::wake(const std::shared_ptr<Sleeper> &sleeper)
{
    if (sleeper->woken)
        return;
    sleeper->woken = true;
    m_sleepers.removeOne(sleeper);
    if (sleeper->handle)
        sleeper->handle.resume();
}

void ManualClock::advance(std::chrono::milliseconds step)
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
