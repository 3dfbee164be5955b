#pragma once

#include "api/clock.h"

#include <QList>

#include <coroutine>
#include <memory>

namespace nimbra::test {

// A clock that stands still until the test moves it. Sleepers wake inside
// advance() (or inside the cancel that ends them), so a countdown steps
// without any real waiting and without the event loop.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(21, 0), Qt::UTC));
    ~ManualClock() override;

    QDateTime now() const override { return m_wall; }
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) override;

    // Moves both clocks on and wakes every sleeper whose time has come.
    void advance(std::chrono::milliseconds step);
    // Moves the wall clock alone, as a clock adjustment or a suspend would.
    void setWallTime(const QDateTime &time) { m_wall = time; }
    int sleeperCount() const { return int(m_sleepers.size()); }

private:
    struct Sleeper
    {
        std::chrono::milliseconds deadline;
        std::coroutine_handle<> handle;
        bool woken = false;
    };
    void wake(const std::shared_ptr<Sleeper> &sleeper);

    QDateTime m_wall;
    std::chrono::milliseconds m_monotonic {0};
    QList<std::shared_ptr<Sleeper>> m_sleepers;
};

} // namespace nimbra::test
