#include "api/canceltoken.h"

#include <QtTest>

using namespace nimbra;

class TestCancelToken : public QObject
{
    Q_OBJECT
private slots:
    void actionsRunOnceOnCancel()
    {
        CancelToken token;
        int runs = 0;
        token.onCancel([&] { ++runs; });
        QVERIFY(!token.isCancelled());
        token.cancel();
        token.cancel();
        QVERIFY(token.isCancelled());
        QCOMPARE(runs, 1);
        // Registered after the cancel: runs at once.
        token.onCancel([&] { ++runs; });
        QCOMPARE(runs, 2);
    }

    void registrationEndsWithItsScope()
    {
        CancelToken token;
        int runs = 0;
        {
            CancelRegistration registration(token, [&] { ++runs; });
        }
        token.cancel();
        QCOMPARE(runs, 0);
    }

    void actionMayUnregisterAnother()
    {
        // An abort that finishes a reply removes that reply's registration
        // while cancel() is still walking the actions.
        CancelToken token;
        int second = 0;
        int secondId = 0;
        token.onCancel([&] { token.removeOnCancel(secondId); });
        secondId = token.onCancel([&] { ++second; });
        token.cancel();
        // Every action registered when the cancel began runs, once.
        QCOMPARE(second, 1);
        token.cancel();
        QCOMPARE(second, 1);
    }

    void slotReplacesAndCancelsPrevious()
    {
        TaskSlot slot;
        const CancelToken first = slot.renew();
        QVERIFY(slot.isCurrent(first));
        QVERIFY(slot.isRunning());
        const CancelToken second = slot.renew();
        QVERIFY(first.isCancelled());
        QVERIFY(!slot.isCurrent(first));
        QVERIFY(slot.isCurrent(second));
        // A stale task finishing does not end the newer one.
        slot.finish(first);
        QVERIFY(slot.isRunning());
        slot.finish(second);
        QVERIFY(!slot.isRunning());
        QVERIFY(!second.isCancelled());
    }

    // A task bound to its session ends with it; one that finished first
    // leaves nothing registered with the session.
    void boundTaskEndsWithItsSession()
    {
        TaskSlot slot;
        const CancelToken session;
        const CancelToken running = slot.renew(session);
        const CancelToken later;
        session.cancel();
        QVERIFY(running.isCancelled());
        QVERIFY(!slot.isRunning());

        const CancelToken finished = slot.renew(later);
        slot.finish(finished);
        later.cancel();
        QVERIFY(!finished.isCancelled());
    }

    void slotCancelStopsTheRunningTask()
    {
        TaskSlot slot;
        const CancelToken token = slot.renew();
        slot.cancel();
        QVERIFY(token.isCancelled());
        QVERIFY(!slot.isRunning());
        QVERIFY(!slot.isCurrent(token));
    }
};

QTEST_GUILESS_MAIN(TestCancelToken)
#include "tst_canceltoken.moc"
