#include "cancellablesleep.h"

#include <QTimer>

#include <QCoro/QCoroTimer>

namespace nimbra {

QCoro::Task<void> cancellableSleep(std::chrono::milliseconds duration, CancelToken cancel)
{
    if (cancel.isCancelled())
        co_return;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(duration);
    const CancelRegistration registration(cancel, [&timer] { timer.start(0); });
    co_await timer;
}

} // namespace nimbra
