#include "eventloop.h"

#include "api/canceltoken.h"
#include "api/network.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>
#include <QThreadPool>

namespace nimbra::test {

bool deliverPostedEvents()
{
    // Posted events are delivered in the order they were posted, so once
    // this marker has run, everything posted before it has too.
    bool reached = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&reached] { return reached; }, kEventLimitMs);
}

void cancelFromEventLoop(const CancelToken &token)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [token] { token.cancel(); }, Qt::QueuedConnection);
}

int requestsUnderWay()
{
    int count = 0;
    const auto replies = sharedNetworkAccessManager()->findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
    for (const QNetworkReply *reply : replies)
        count += reply->isFinished() ? 0 : 1;
    return count;
}

bool waitUntilIdle(int left, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const auto quiet
        = [left] { return requestsUnderWay() <= left && QThreadPool::globalInstance()->activeThreadCount() == 0; };
    // An answer's handler may start the next request, or a job whose end is
    // posted back: quiet twice, with the posted events delivered between.
    for (;;) {
        if (!QTest::qWaitFor(quiet, int(std::max<qint64>(deadline.remainingTime(), 1))))
            return false;
        if (!deliverPostedEvents())
            return false;
        if (quiet())
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

} // namespace nimbra::test
