#pragma once

#include "api/clock.h"

#include <QList>
#include <QObject>

#include <chrono>
#include <coroutine>
#include <memory>

namespace nimbra::test {

// A clock whose sleeps last until the test lets them end: each sleep asked
// for is recorded, and it ends when the clock is opened, when the test lets
// the running sleeps go, or when its token is cancelled; it ends from the
// event loop, as the real clock's do, and once however many of these come.
// Nothing is left to real time, so a test knows which side of a pause the
// code is on. The wall clock is the real one.
class HeldClock : public QObject, public Clock
{
    Q_OBJECT
public:
    explicit HeldClock(bool open = false) : m_open(open) { }

    QList<std::chrono::milliseconds> asked; // every sleep, in order
    int running = 0; // sleeps under way
    int ended = 0; // sleeps that have returned, however they ended

    // While open, a sleep returns at once; opening ends those under way.
    void setOpen(bool open);
    // Ends the sleeps under way; later ones wait again.
    void releaseRunning();

    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) override;

private:
    struct Sleeper
    {
        std::coroutine_handle<> handle;
        bool woken = false;
    };
    // Resumes the sleeper from the event loop. Once only: a second resume
    // posted for one sleep would reach a frame that has already gone on.
    void wake(const std::shared_ptr<Sleeper> &sleeper);

    bool m_open = false;
    QList<std::shared_ptr<Sleeper>> m_sleepers;
};

} // namespace nimbra::test
