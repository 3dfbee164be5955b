// settle(): an abandoned task is waited for to its end, and what it failed
// with reaches the log unless it was a cancellation someone asked for.
#include "api/apierror.h"
#include "api/settle.h"

#include <QTimer>
#include <QtTest>

#include <QCoro/QCoroTask>
#include <QCoro/QCoroTimer>

#include <stdexcept>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

QStringList g_logged;

void keepMessage(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    if (QByteArrayView(context.category) == "nimbra.dropped")
        g_logged << text;
}

enum class Ending { Value, Failure, Cancellation };

// Ends the way it is told once the timer fires.
QCoro::Task<int> endWhenFired(QTimer &timer, Ending ending)
{
    co_await timer;
    if (ending == Ending::Failure)
        throw std::runtime_error("the host went away");
    if (ending == Ending::Cancellation)
        throw ApiError::network(ApiError::NetworkFailure::Cancelled);
    co_return 7;
}

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestSettle : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_logged.clear(); }

    void endsOfAnAbandonedTask_data()
    {
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<bool>("logged");
        QTest::newRow("a value") << Ending::Value << false;
        QTest::newRow("a failure") << Ending::Failure << true;
        QTest::newRow("a cancellation") << Ending::Cancellation << false;
    }

    void endsOfAnAbandonedTask()
    {
        QFETCH(Ending, ending);
        QFETCH(bool, logged);
        QTimer timer;
        timer.setSingleShot(true);
        timer.start(0);
        QCoro::Task<int> task = endWhenFired(timer, ending);
        QVERIFY(!task.isReady());
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        QCoro::waitFor(settle(task));
        qInstallMessageHandler(previous);
        // Waited for to its end, so none of its work outlives the caller.
        QVERIFY(task.isReady());
        QCOMPARE(g_logged.size(), logged ? 1 : 0);
        if (logged)
            QVERIFY2(g_logged.constFirst().contains(u"the host went away"_s), qPrintable(g_logged.constFirst()));
    }
};

QTEST_GUILESS_MAIN(TestSettle)
#include "tst_settle.moc"
