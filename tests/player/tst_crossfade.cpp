#include "playerrig.h"
#include "testenv.h"

#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString unresolvable = u"http://[bad"_s;

QUrl streamOf(const QString &id)
{
    return QUrl(u"https://api.nimbra.app/media/"_s + id + u".mp3"_s);
}

TrackOut trackLasting(const QString &id, qint64 seconds)
{
    TrackOut t = makeTrack(id);
    t.durationSeconds = seconds;
    return t;
}

// How a case is set up before the track near its end ticks.
enum class Setup { ShortTrack, LastEntry, SleepAtEndOfTrack, Disabled, NextDoesNotResolve };

} // namespace

// Playback on the player's tick and end of item: the crossfade near the end,
// its volume ramp on the injected clock, and what ends or replaces it.
class TestCrossfade : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }
    FakeAudioPlayer *player(int i) { return m_rig->backend.player(i); }

    void play(const QList<TrackOut> &list, int start) { store().play(list.at(start), list); }

    // Moves the clock on in small steps, so that every sleep on the way
    // wakes in its turn.
    void passTime(std::chrono::milliseconds total)
    {
        for (auto passed = 0ms; passed < total; passed += 10ms)
            m_rig->clock.advance(10ms);
    }

    // Ticks the current player from `from` up to `to` in 0.1 s steps.
    void tickThrough(FakeAudioPlayer *p, double from, double to)
    {
        for (double t = from; t <= to + 1e-9; t += 0.1)
            p->tick(t);
    }

private slots:
    void initTestCase() { initTestEnvironment(); }

    void init()
    {
        clearSettings();
        m_rig = std::make_unique<PlayerRig>();
        store().setCrossfadeEnabled(true);
        store().setCrossfadeDuration(3.0);
    }

    void cleanup()
    {
        m_rig->store.reset();
        // No ramp is left asleep on the clock.
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
    }

    void fadesInSixtyStepsFromThreeSecondsBeforeTheEnd()
    {
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s}), 0);
        FakeAudioPlayer *old = player(0);
        tickThrough(old, 190.0, 196.9);
        QCOMPARE(m_rig->backend.playerCount(), 1);

        old->tick(197.0);
        QCOMPARE(m_rig->backend.playerCount(), 2);
        QPointer<FakeAudioPlayer> incoming = player(1);
        QCOMPARE(incoming->source(), streamOf(u"b"_s));
        QVERIFY(incoming->isPlaying());
        QCOMPARE(m_rig->currentId(), u"b"_s);
        QCOMPARE(store().elapsed(), 0.0);

        // Step i sets i/60 and 1 - i/60, then waits 50 ms.
        for (int step = 1; step <= 60; ++step) {
            QCOMPARE(incoming->volume(), float(step) / 60.0f);
            QCOMPARE(old->volume(), 1.0f - float(step) / 60.0f);
            QVERIFY(old->isPlaying());
            // The outgoing track's own ticks move nothing any more.
            old->tick(197.0 + step * 0.05);
            QCOMPARE(store().elapsed(), 0.0);
            m_rig->clock.advance(50ms);
        }
        QVERIFY(!old->isPlaying());
        QPointer<FakeAudioPlayer> dropped = old;
        QTRY_VERIFY(!dropped);

        // The incoming track's end is the one reaction that follows.
        incoming->tick(12.5);
        QCOMPARE(store().elapsed(), 12.5);
        incoming->finish();
        QCOMPARE(m_rig->currentId(), u"c"_s);
        QCOMPARE(m_rig->backend.playerCount(), 3);
    }

    void playsOutWithoutCrossfade_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("afterEnd");
        QTest::addColumn<bool>("playingAfterEnd");
        // 6 is not more than twice 3.
        QTest::newRow("six-second track") << Setup::ShortTrack << u"b"_s << true;
        // The end asks for a wave; with no wave there, playback stops.
        QTest::newRow("last entry, repeat off") << Setup::LastEntry << u"c"_s << false;
        QTest::newRow("sleep timer at end of track") << Setup::SleepAtEndOfTrack << u"a"_s << false;
        QTest::newRow("crossfade off") << Setup::Disabled << u"b"_s << true;
        // No later entry is tried for the fade; the end skips to one that resolves.
        QTest::newRow("next entry does not resolve") << Setup::NextDoesNotResolve << u"c"_s << true;
    }

    void playsOutWithoutCrossfade()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, afterEnd);
        QFETCH(bool, playingAfterEnd);
        QList<TrackOut> list = makeTracks({u"a"_s, u"b"_s, u"c"_s});
        int start = 0;
        double length = 200;
        switch (setup) {
        case Setup::ShortTrack:
            list[0].durationSeconds = 6;
            length = 6;
            break;
        case Setup::LastEntry:
            start = 2;
            break;
        case Setup::SleepAtEndOfTrack:
            store().setSleepTimerEndOfTrack();
            break;
        case Setup::Disabled:
            store().setCrossfadeEnabled(false);
            break;
        case Setup::NextDoesNotResolve:
            list[1].fileURL = unresolvable;
            break;
        }
        play(list, start);
        FakeAudioPlayer *first = player(0);
        tickThrough(first, length - 3.5, length);
        QCOMPARE(m_rig->backend.playerCount(), 1);
        QCOMPARE(first->volume(), 1.0f);

        first->finish();
        QCOMPARE(m_rig->currentId(), afterEnd);
        QCOMPARE(store().isPlaying(), playingAfterEnd);
        if (playingAfterEnd)
            QCOMPARE(m_rig->backend.lastPlayer()->volume(), 1.0f);
        if (setup == Setup::SleepAtEndOfTrack)
            QVERIFY(store().sleepTimer().isOff());
    }

    void repeatOneFadesIntoItself()
    {
        store().setRepeatMode(RepeatMode::One);
        play(makeTracks({u"a"_s, u"b"_s}), 0);
        FakeAudioPlayer *old = player(0);
        old->tick(197.0);
        QCOMPARE(m_rig->backend.playerCount(), 2);
        QCOMPARE(player(1)->source(), streamOf(u"a"_s));
        QCOMPARE(store().queueIndex(), 0);
        passTime(3000ms);
        QVERIFY(!old->isPlaying());
        // The fresh start fades again near its own end.
        player(1)->tick(197.0);
        QCOMPARE(m_rig->backend.playerCount(), 3);
        passTime(3000ms);
    }

    void nextDuringAFadeStopsBothPlayers()
    {
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s, u"d"_s}), 0);
        QPointer<FakeAudioPlayer> old = player(0);
        old->tick(197.0);
        QPointer<FakeAudioPlayer> incoming = player(1);
        for (int i = 0; i < 10; ++i)
            m_rig->clock.advance(50ms);
        const float frozen = incoming->volume();

        store().next();
        QCOMPARE(m_rig->currentId(), u"c"_s);
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        QVERIFY(!old->isPlaying());
        QVERIFY(!incoming->isPlaying());
        FakeAudioPlayer *chosen = player(2);
        QCOMPARE(chosen->volume(), 1.0f);
        // The ended ramp touches nothing, and a fade can start again.
        passTime(5000ms);
        QCOMPARE(incoming->volume(), frozen);
        QCOMPARE(chosen->volume(), 1.0f);
        QTRY_VERIFY(!old && !incoming);
        chosen->tick(197.0);
        QCOMPARE(m_rig->backend.playerCount(), 4);
        passTime(3000ms);
    }

    void anIncomingTrackShorterThanTheFadeMovesOn()
    {
        play({makeTrack(u"a"_s), trackLasting(u"b"_s, 2), makeTrack(u"c"_s)}, 0);
        QPointer<FakeAudioPlayer> first = player(0);
        first->tick(197.0);
        QPointer<FakeAudioPlayer> shortOne = player(1);
        passTime(2000ms);
        // b ends while the ramp still runs.
        shortOne->finish();
        QCOMPARE(m_rig->currentId(), u"c"_s);
        QCOMPARE(m_rig->backend.lastPlayer()->volume(), 1.0f);
        QVERIFY(m_rig->backend.lastPlayer()->isPlaying());
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        QTRY_VERIFY(!first && !shortOne);
    }

    void aPlayerThatFailsStopsClaimingToPlay()
    {
        play(makeTracks({u"a"_s, u"b"_s}), 0);
        QSignalSpy playing(m_rig->store.get(), &PlayerStore::isPlayingChanged);
        player(0)->fail();
        QVERIFY(!store().isPlaying());
        QCOMPARE(playing.count(), 1);
        // No skipping: the failed track stays, and playing it again retries.
        QCOMPARE(m_rig->currentId(), u"a"_s);
        store().togglePlayPause();
        QVERIFY(player(0)->isPlaying());

        // The incoming track failing during a fade: the outgoing one still
        // fades out and stops.
        player(0)->tick(197.0);
        player(1)->fail();
        QVERIFY(!store().isPlaying());
        passTime(3000ms);
        QVERIFY(!player(0) || !player(0)->isPlaying());
        QCOMPARE(m_rig->backend.playerCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCrossfade)
#include "tst_crossfade.moc"
