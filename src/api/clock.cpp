#include "api/clock.h"

#include <QTimer>

#include <QCoro/QCoroTimer>

namespace nimbra {

namespace {

class SystemClock : public Clock
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
        const CancelRegistration wake(token, [&timer] { timer.start(0); });
        co_await timer;
    }
};

} // namespace

Clock *Clock::system()
{
    static SystemClock clock;
    return &clock;
}

} // namespace nimbra
