#include "playerrig.h"
#include "testenv.h"

#include "player/playerclock.h"

#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestSleepTimer : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }

    void playTwo() { m_rig->play({u"a"_s, u"b"_s}, 0); }

private slots:
    void initTestCase() { initTestEnvironment(); }

    void init() { m_rig = std::make_unique<PlayerRig>(); }

    void cleanup()
    {
        m_rig->store.reset();
        // A cancelled or finished countdown leaves no sleeper behind.
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
    }

    void countsDownFromTheFullTime()
    {
        const QDateTime start = m_rig->clock.now();
        store().setSleepTimer(15);
        QCOMPARE(store().sleepTimer(), SleepTimer::until(start.addSecs(900)));
        QCOMPARE(store().sleepRemainingSeconds(), 900);
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 899);
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 898);
        // The wall clock decides: after a suspend of ten minutes the next
        // step shows what is really left.
        m_rig->clock.setWallTime(m_rig->clock.now().addSecs(600));
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 297);
        store().cancelSleepTimer();
    }

    void endsAndPausesWhenTimeRunsOut()
    {
        playTwo();
        QSignalSpy timerChanged(m_rig->store.get(), &PlayerStore::sleepTimerChanged);
        store().setSleepTimer(1);
        for (int i = 0; i < 59; ++i)
            m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 1);
        QVERIFY(store().isPlaying());
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 0);
        QVERIFY(store().sleepTimer().isOff());
        QVERIFY(!store().isPlaying());
        QVERIFY(!m_rig->backend.lastPlayer()->isPlaying());
        QCOMPARE(timerChanged.count(), 2);
    }

    void replacedCountdownNeverWritesAgain()
    {
        store().setSleepTimer(30);
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 1799);
        store().setSleepTimer(5);
        QCOMPARE(store().sleepRemainingSeconds(), 300);
        QCOMPARE(m_rig->clock.sleeperCount(), 1);
        // Step many times: only the new countdown writes, and it ends the
        // timer at its own time, not the old one's.
        QSignalSpy remainingChanged(m_rig->store.get(), &PlayerStore::sleepRemainingSecondsChanged);
        for (int i = 1; i <= 10; ++i) {
            m_rig->clock.advance(1s);
            QCOMPARE(store().sleepRemainingSeconds(), 300 - i);
        }
        QCOMPARE(remainingChanged.count(), 10);
        store().cancelSleepTimer();
    }

    void cancelStopsTheCountdown()
    {
        store().setSleepTimer(10);
        m_rig->clock.advance(1s);
        store().cancelSleepTimer();
        QVERIFY(store().sleepTimer().isOff());
        QCOMPARE(store().sleepRemainingSeconds(), 0);
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        m_rig->clock.advance(3600s);
        QCOMPARE(store().sleepRemainingSeconds(), 0);
        QVERIFY(store().sleepTimer().isOff());
        // Cancelling with no timer set changes nothing.
        QSignalSpy timerChanged(m_rig->store.get(), &PlayerStore::sleepTimerChanged);
        store().cancelSleepTimer();
        QCOMPARE(timerChanged.count(), 0);
    }

    void endOfTrackStopsTheCountdownAndWaitsForTheEnd()
    {
        playTwo();
        store().setSleepTimer(10);
        m_rig->clock.advance(1s);
        store().setSleepTimerEndOfTrack();
        QVERIFY(store().sleepTimer().isEndOfTrack());
        QCOMPARE(store().sleepRemainingSeconds(), 0);
        m_rig->clock.advance(3600s);
        QVERIFY(store().sleepTimer().isEndOfTrack());

        // Skipping keeps the request; it applies to the track then playing.
        store().next();
        QCOMPARE(store().currentTrack()->id, u"b"_s);
        QVERIFY(store().sleepTimer().isEndOfTrack());
        const int players = m_rig->backend.playerCount();
        m_rig->backend.lastPlayer()->finish();
        QVERIFY(store().sleepTimer().isOff());
        QVERIFY(!store().isPlaying());
        QCOMPARE(store().currentTrack()->id, u"b"_s);
        QCOMPARE(m_rig->backend.playerCount(), players);

        // With the request used up, the next end moves on as usual.
        store().setRepeatMode(RepeatMode::All);
        m_rig->backend.lastPlayer()->finish();
        QCOMPARE(store().currentTrack()->id, u"a"_s);
    }

    void storeGoingAwayEndsTheCountdown()
    {
        store().setSleepTimer(10);
        m_rig->store.reset();
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        m_rig->clock.advance(10min);
    }

    void realClockWakesOnCancel()
    {
        // The real sleep must not hold a replaced countdown for its full second.
        CancelToken token;
        bool woke = false;
        QCoro::connect(PlayerClock::system()->sleep(std::chrono::hours(1), token), this, [&] { woke = true; });
        QTimer::singleShot(1, this, [token] { token.cancel(); });
        QTRY_VERIFY(woke);
    }
};

QTEST_GUILESS_MAIN(TestSleepTimer)
#include "tst_sleeptimer.moc"
