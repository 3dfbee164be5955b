#include "playerclock.h"

#include <QCoroSignal>
#include <QTimer>

namespace nimbra {

namespace {

class SystemPlayerClock : public PlayerClock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }

    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) override
    {
        if (token.isCancelled())
            co_return;
        // Qt's timers run on the monotonic clock. A cancellation restarts
        // the timer at zero so the sleeper wakes on the next turn of the loop.
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        timer.start(duration);
        CancelRegistration wake(token, [&timer] { timer.start(0); });
        co_await qCoro(&timer, &QTimer::timeout);
    }
};

} // namespace

PlayerClock *PlayerClock::system()
{
    static SystemPlayerClock clock;
    return &clock;
}

} // namespace nimbra
