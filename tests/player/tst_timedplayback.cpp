#include "api/clock.h"

#include "eventloop.h"
#include "playerrig.h"

#include "platform/pointermotion.h"
#include "player/nowplayingcontroller.h"
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

// Playback on the player's tick, its end of item and the injected clock: the
// crossfade near the end with its volume ramp, what ends or replaces it, and
// the sleep timer.
class TestTimedPlayback : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }
    FakeAudioPlayer *player(int i) { return m_rig->backend.player(i); }

    void play(const QList<TrackOut> &list, int start) { store().play(list.at(start), list); }
    void playTwo() { m_rig->play({u"a"_s, u"b"_s}, 0); }

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
        // No ramp or countdown is left asleep on the clock.
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
    }

    void fadesInStepsOfFiftyMillisecondsBeforeTheEnd_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("steps");
        QTest::newRow("three seconds") << 3.0 << 60;
        QTest::newRow("one second") << 1.0 << 20;
    }

    void fadesInStepsOfFiftyMillisecondsBeforeTheEnd()
    {
        QFETCH(double, seconds);
        QFETCH(int, steps);
        store().setCrossfadeDuration(seconds);
        const double start = 200.0 - seconds;
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s}), 0);
        FakeAudioPlayer *old = player(0);
        tickThrough(old, 190.0, start - 0.1);
        QCOMPARE(m_rig->backend.playerCount(), 1);

        old->tick(start);
        QCOMPARE(m_rig->backend.playerCount(), 2);
        QPointer<FakeAudioPlayer> incoming = player(1);
        QCOMPARE(incoming->source(), streamOf(u"b"_s));
        QVERIFY(incoming->isPlaying());
        QCOMPARE(m_rig->currentId(), u"b"_s);
        QCOMPARE(store().elapsed(), 0.0);

        // Step i sets i/steps and 1 - i/steps, then waits 50 ms.
        for (int step = 1; step <= steps; ++step) {
            QCOMPARE(incoming->volume(), float(step) / float(steps));
            QCOMPARE(old->volume(), 1.0f - float(step) / float(steps));
            QVERIFY(old->isPlaying());
            // The outgoing track's own ticks move nothing any more.
            old->tick(start + step * 0.05);
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
            list[1].fileUrl = unresolvable;
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

    // Whatever ends a fade ends it at once, and its ramp touches nothing
    // any more. A pause, however it comes, is silence: the outgoing track
    // stops for good, and the incoming one plays on alone at full volume.
    // So is a failure of the incoming track, which shows as a pause.
    void aFadeEndsAtOnce_data()
    {
        QTest::addColumn<QString>("by");
        QTest::newRow("next") << u"next"_s;
        QTest::newRow("pause button") << u"button"_s;
        QTest::newRow("the desktop's pause") << u"desktop"_s;
        QTest::newRow("sleep timer") << u"sleep"_s;
        QTest::newRow("sleep at the end of an incoming track") << u"end"_s;
        QTest::newRow("the incoming track fails") << u"fail"_s;
    }

    void aFadeEndsAtOnce()
    {
        QFETCH(QString, by);
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s, u"d"_s}), 0);
        if (by == u"sleep") {
            // Runs out half a second into the fade.
            store().setSleepTimer(1);
            passTime(59500ms);
        }
        QPointer<FakeAudioPlayer> old = player(0);
        old->tick(197.0);
        QPointer<FakeAudioPlayer> incoming = player(1);
        for (int i = 0; i < 10; ++i)
            m_rig->clock.advance(50ms);
        const float frozen = incoming->volume();

        if (by == u"next")
            store().next();
        else if (by == u"button")
            store().togglePlayPause();
        else if (by == u"desktop")
            store().nowPlaying()->onPause();
        else if (by == u"end") {
            store().setSleepTimerEndOfTrack();
            incoming->finish();
        } else if (by == u"fail")
            incoming->fail();
        QVERIFY(!old->isPlaying());
        QVERIFY(!incoming->isPlaying());
        if (by != u"next") {
            QTRY_VERIFY(!old);
            QVERIFY(!store().isPlaying());
            QCOMPARE(m_rig->currentId(), u"b"_s);
            passTime(5000ms);
            QCOMPARE(incoming->volume(), 1.0f);
            store().togglePlayPause();
            QVERIFY(incoming->isPlaying());
            QCOMPARE(m_rig->backend.playerCount(), 2);
            return;
        }
        QCOMPARE(m_rig->currentId(), u"c"_s);
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        FakeAudioPlayer *chosen = player(2);
        QCOMPARE(chosen->volume(), 1.0f);
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
    }

    // A new track starts while the player of the one before stays, paused
    // (at its end it is left as it is: a pause would rewind it), until the
    // new player's position has moved: its stream keeps an idle sound server
    // from holding the new stream back.
    void thePreviousPlayerStaysUntilTheNextSounds_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("next") << u"next"_s;
        QTest::newRow("previous") << u"previous"_s;
        QTest::newRow("another track pressed") << u"press"_s;
        QTest::newRow("the end of the item") << u"end"_s;
    }

    void thePreviousPlayerStaysUntilTheNextSounds()
    {
        QFETCH(QString, change);
        store().setCrossfadeEnabled(false);
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s}), 1);
        QPointer<FakeAudioPlayer> old = player(0);
        old->tick(2.0);
        if (change == u"next")
            store().next();
        else if (change == u"previous")
            store().previous();
        else if (change == u"press")
            store().play(makeTrack(u"x"_s), {});
        else
            old->finish();
        FakeAudioPlayer *incoming = player(1);
        QVERIFY(incoming->isPlaying());
        QVERIFY(!old->isPlaying());
        QCOMPARE(old->pauseCalls(), change == u"end" ? 0 : 1);
        old->tick(2.1);
        QCOMPARE(store().elapsed(), 0.0);
        incoming->tick(0.0);
        QVERIFY(deliverPostedEvents());
        QVERIFY(old);
        incoming->tick(0.1);
        QTRY_VERIFY(!old);
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
    }

    void theWaitForTheNextToSoundEnds_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("oldGoesAtOnce");
        // Players made in all: a change while the new one has not sounded
        // yet is one of a quick series, and the series makes one player
        // more, for the track it lands on, once it settles.
        QTest::addColumn<int>("players");
        QTest::newRow("the new one is paused") << u"pause"_s << true << 2;
        QTest::newRow("the new one fails") << u"fail"_s << true << 2;
        QTest::newRow("the session ends") << u"end session"_s << true << 2;
        // The one kept has a stream; the one that never sounded may not.
        QTest::newRow("another change first") << u"next"_s << false << 3;
        QTest::newRow("fifty quick changes") << u"next x49"_s << false << 3;
        QTest::newRow("a seek first") << u"seek"_s << false << 2;
        // A start held by a quick series waits for play; a seek meanwhile is
        // where it starts.
        QTest::newRow("another change, then a pause") << u"next, pause"_s << true << 2;
        QTest::newRow("another change, then a seek") << u"next, seek"_s << false << 3;
    }

    void theWaitForTheNextToSoundEnds()
    {
        QFETCH(QString, then);
        QFETCH(bool, oldGoesAtOnce);
        QFETCH(int, players);
        store().setCrossfadeEnabled(false);
        store().setRepeatMode(RepeatMode::All);
        play(makeTracks({u"a"_s, u"b"_s, u"c"_s}), 0);
        QPointer<FakeAudioPlayer> old = player(0);
        old->tick(5.0);
        store().next();
        QPointer<FakeAudioPlayer> incoming = player(1);
        double soundsFrom = 0;
        if (then == u"pause")
            store().togglePlayPause();
        else if (then == u"fail")
            incoming->fail();
        else if (then == u"end session")
            store().endSession();
        else if (then.startsWith(u"next")) {
            for (int presses = then == u"next x49" ? 49 : 1; presses > 0; --presses)
                store().next();
            if (then == u"next, pause")
                store().togglePlayPause();
            else if (then == u"next, seek")
                store().seek(soundsFrom = 60.0);
            QCOMPARE(m_rig->backend.playerCount(), 2);
            passTime(HeldStart::settle);
        } else {
            store().seek(soundsFrom = 60.0);
        }
        QCOMPARE(m_rig->backend.playerCount(), players);
        if (oldGoesAtOnce) {
            QTRY_VERIFY(!old);
            if (then == u"next, pause") {
                store().togglePlayPause();
                QVERIFY(m_rig->backend.lastPlayer()->isPlaying());
                QCOMPARE(m_rig->backend.playerCount(), players + 1);
            }
            return;
        }
        FakeAudioPlayer *sounding = m_rig->backend.lastPlayer();
        QCOMPARE(sounding->source(), streamOf(m_rig->currentId()));
        QCOMPARE(sounding->seeks(), soundsFrom > 0 ? QList<double> {soundsFrom} : QList<double> {});
        sounding->tick(soundsFrom);
        QVERIFY(deliverPostedEvents());
        QVERIFY(old);
        QCOMPARE(bool(incoming), sounding == incoming);
        sounding->tick(soundsFrom + 0.1);
        QTRY_VERIFY(!old);
    }

    // A paused player lets go of its stream after a while, since a stream
    // left on the sound server keeps the device busy; playing takes one
    // again, and the item stays where it was.
    void aPausedPlayerLetsGoOfItsOutput()
    {
        store().setCrossfadeEnabled(false);
        playTwo();
        FakeAudioPlayer *p = player(0);
        p->tick(5.0);
        store().togglePlayPause();
        m_rig->clock.advance(PlayerStore::outputRestDelay - 1s);
        QVERIFY(p->hasOutput());
        // Played and paused again, the while starts afresh.
        store().togglePlayPause();
        store().togglePlayPause();
        m_rig->clock.advance(2s);
        QVERIFY(p->hasOutput());
        m_rig->clock.advance(PlayerStore::outputRestDelay);
        QVERIFY(!p->hasOutput());
        QCOMPARE(store().elapsed(), 5.0);
        // The pointer on the play button readies the output until the
        // player sounds again from where it stood.
        store().prepareToPlay();
        store().togglePlayPause();
        QVERIFY(p->isPlaying() && p->hasOutput());
        p->tick(5.0);
        QVERIFY(m_rig->backend.readiedLives());
        p->tick(5.1);
        QVERIFY(!m_rig->backend.readiedLives());
        m_rig->clock.advance(PlayerStore::outputRestDelay * 2);
        QVERIFY(p->hasOutput());
        // Stopped by a failure, the same; played again without the pointer
        // on the button first, it readies the output itself.
        p->fail();
        m_rig->clock.advance(PlayerStore::outputRestDelay);
        QVERIFY(!p->hasOutput());
        const int readied = m_rig->backend.readiedCount();
        store().togglePlayPause();
        QCOMPARE(m_rig->backend.readiedCount(), readied + 1);
        QVERIFY(m_rig->backend.readiedLives());
        QCOMPARE(m_rig->backend.playerCount(), 1);
        // Without its stream it keeps nothing awake for the next track.
        store().togglePlayPause();
        m_rig->clock.advance(PlayerStore::outputRestDelay);
        QPointer<FakeAudioPlayer> released = p;
        store().next();
        QTRY_VERIFY(!released);
        QCOMPARE(m_rig->backend.readiedCount(), readied + 2);
        QVERIFY(m_rig->backend.readiedLives());
    }

    // Before the first press, the pointer moved onto a control that plays
    // readies the output, until the track sounds or for as long as a paused
    // player keeps its stream; while a track plays there is nothing to
    // ready. A pointer at rest, with pages changing under it, readies none.
    void aControlUnderThePointerReadiesTheOutput()
    {
        store().setCrossfadeEnabled(false);
        const FakeAudioBackend &backend = m_rig->backend;
        QObject window;
        PointerMotion::watch(&window);
        const auto moveThePointer = [&] {
            QEvent move(QEvent::MouseMove);
            QCoreApplication::sendEvent(&window, &move);
        };
        moveThePointer();
        store().pointerOnPlayControl();
        store().pointerOnPlayControl();
        QCOMPARE(backend.readiedCount(), 1);
        m_rig->clock.advance(PlayerStore::outputRestDelay - 1s);
        // On to another control: the while starts afresh.
        moveThePointer();
        store().pointerOnPlayControl();
        m_rig->clock.advance(2s);
        QVERIFY(backend.readiedLives());
        m_rig->clock.advance(PlayerStore::outputRestDelay);
        QVERIFY(!backend.readiedLives());
        store().pointerOnPlayControl();
        QVERIFY(!backend.readiedLives());

        moveThePointer();
        store().pointerOnPlayControl();
        QCOMPARE(backend.readiedCount(), 2);
        playTwo();
        m_rig->clock.advance(PlayerStore::outputRestDelay);
        player(0)->tick(0.0);
        QVERIFY(backend.readiedLives());
        player(0)->tick(0.1);
        QVERIFY(!backend.readiedLives());
        store().prepareToPlay();
        QCOMPARE(backend.readiedCount(), 2);
        // The previous player keeps the output awake at a change of track;
        // a start with nothing before readies an output itself.
        store().next();
        QCOMPARE(backend.readiedCount(), 2);
        store().endSession();
        playTwo();
        QCOMPARE(backend.readiedCount(), 3);
        QVERIFY(backend.readiedLives());
    }

    // The sleep timer, on the same clock.
    void countsDownAndAReplacedCountdownStaysSilent()
    {
        const QDateTime start = m_rig->clock.now();
        store().setSleepTimer(15);
        QCOMPARE(store().sleepTimer(), SleepTimer::until(start.addSecs(900)));
        QCOMPARE(store().sleepRemainingSeconds(), 900);
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 899);
        // The wall clock decides: after a suspend of ten minutes the next
        // step shows what is really left.
        m_rig->clock.setWallTime(m_rig->clock.now().addSecs(600));
        m_rig->clock.advance(1s);
        QCOMPARE(store().sleepRemainingSeconds(), 298);

        // A replaced countdown never writes again: only the new one steps,
        // and it ends the timer at its own time, not the old one's.
        store().setSleepTimer(5);
        QCOMPARE(store().sleepRemainingSeconds(), 300);
        QCOMPARE(m_rig->clock.sleeperCount(), 1);
        QSignalSpy remainingChanged(m_rig->store.get(), &PlayerStore::sleepRemainingSecondsChanged);
        for (int i = 1; i <= 10; ++i) {
            m_rig->clock.advance(1s);
            QCOMPARE(store().sleepRemainingSeconds(), 300 - i);
        }
        QCOMPARE(remainingChanged.count(), 10);
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

    void cancelOrTheStoreGoingAwayStopsTheCountdown()
    {
        store().setSleepTimer(10);
        m_rig->clock.advance(1s);
        store().cancelSleepTimer();
        QVERIFY(store().sleepTimer().isOff());
        QCOMPARE(store().sleepRemainingSeconds(), 0);
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        // Cancelling with no timer set changes nothing.
        QSignalSpy timerChanged(m_rig->store.get(), &PlayerStore::sleepTimerChanged);
        store().cancelSleepTimer();
        QCOMPARE(timerChanged.count(), 0);

        // The store going away ends the countdown too.
        store().setSleepTimer(10);
        m_rig->store.reset();
        QCOMPARE(m_rig->clock.sleeperCount(), 0);
        m_rig->clock.advance(10min);
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
        player(0)->tick(1.0);
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

    void realClockWakesOnCancel()
    {
        // The real sleep must not hold a replaced countdown for its full second.
        CancelToken token;
        bool woke = false;
        QCoro::connect(Clock::system()->sleep(std::chrono::hours(1), token), this, [&] { woke = true; });
        cancelFromEventLoop(token);
        QTRY_VERIFY(woke);
    }
};

QTEST_GUILESS_MAIN(TestTimedPlayback)
#include "tst_timedplayback.moc"
