#include "fakehttpserver.h"
#include "playerrig.h"
#include "testenv.h"

#include "player/lyricsservice.h"

#include <QSettings>
#include <QtTest>

#include "api/randomshuffle.h"
#include "api/splitmix64.h"
#include "player/playqueue.h"
#include "trackfixtures.h"
#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString unresolvable = u"http://[bad"_s;

QUrl streamOf(const QString &id)
{
    return QUrl(u"https://api.nimbra.app/media/"_s + id + u".mp3"_s);
}

// Only entries whose path is not "bad" resolve.
std::optional<QUrl> resolveGood(const TrackOut &t)
{
    if (t.fileUrl == "bad"_L1)
        return std::nullopt;
    return QUrl(u"https://h/"_s + t.fileUrl);
}

} // namespace

class TestPlayerStore : public QObject
{
    Q_OBJECT

    // Declared in this order so the store goes first.
    std::unique_ptr<FakeHttpServer> m_lyricsHost;
    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }

    void makeStore()
    {
        m_rig.reset();
        m_rig = std::make_unique<PlayerRig>();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_lyricsHost = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        clearSettings();
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), m_lyricsHost->baseUrl().toString());
        makeStore();
    }

    void cleanup() { m_rig.reset(); }

    void playStartsAResolvedStream()
    {
        QSignalSpy currentChanged(m_rig->store.get(), &PlayerStore::currentTrackChanged);
        m_rig->play({u"a"_s, u"b"_s}, 1);
        QCOMPARE(m_rig->backend.startedSources(), QList<QUrl>({streamOf(u"b"_s)}));
        QVERIFY(m_rig->player()->isPlaying());
        QVERIFY(store().isPlaying());
        QCOMPARE(store().queueIndex(), 1);
        QCOMPARE(store().duration(), 200.0);
        QCOMPARE(store().currentTitle(), u"Song b"_s);
        QCOMPARE(store().queue().size(), 2);
        QCOMPARE(currentChanged.count(), 1);
    }

    void previousRestartsAfterThreeSeconds_data()
    {
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("at 3.0 goes back") << 3.0 << false;
        QTest::newRow("at 3.1 restarts") << 3.1 << true;
        QTest::newRow("not a number goes back") << qQNaN() << false;
    }

    void previousRestartsAfterThreeSeconds()
    {
        QFETCH(double, elapsed);
        QFETCH(bool, restarts);
        m_rig->play({u"a"_s, u"b"_s, u"c"_s}, 1);
        FakeAudioPlayer *first = m_rig->player();
        first->tick(elapsed);
        store().previous();
        // A player whose position never moved makes the press one of a
        // quick series, which starts once the presses settle.
        m_rig->clock.advance(HeldStart::settle);
        QCOMPARE(m_rig->backend.playerCount(), restarts ? 1 : 2);
        QCOMPARE(m_rig->currentId(), restarts ? u"b"_s : u"a"_s);
        QCOMPARE(first->seeks(), restarts ? QList<double>({0.0}) : QList<double>());
        QCOMPARE(first->isPlaying(), restarts);
    }

    void unresolvableEntriesAreSkipped()
    {
        QList<TrackOut> list {
            makeTrack(u"a"_s), makeTrack(u"b"_s, unresolvable), makeTrack(u"c"_s, unresolvable), makeTrack(u"d"_s)};
        store().setRepeatMode(RepeatMode::All);
        // Each player is heard before the next press, which makes one at once.
        const auto heard = [&] { m_rig->player()->tick(1.0); };
        store().play(list.at(0), list);
        heard();
        store().next();
        QCOMPARE(m_rig->currentId(), u"d"_s);
        QCOMPARE(store().queueIndex(), 3);
        heard();
        store().next();
        QCOMPARE(m_rig->currentId(), u"a"_s);
        heard();
        store().previous();
        QCOMPARE(m_rig->currentId(), u"d"_s);

        // A list of which nothing resolves changes nothing.
        const QList<TrackOut> bad {makeTrack(u"x"_s, unresolvable), makeTrack(u"y"_s, unresolvable)};
        store().play(bad.at(1), bad);
        QCOMPARE(m_rig->currentId(), u"d"_s);
        QCOMPARE(m_rig->backend.playerCount(), 4);
        QVERIFY(m_rig->player()->isPlaying());
        // ...not even the queue, which keeps describing what plays.
        QCOMPARE(store().queue().size(), list.size());
        QCOMPARE(store().queue().at(store().queueIndex()).id, u"d"_s);
    }

    void shuffleOnThenOffRestoresOrderAndIndex()
    {
        const QStringList ids {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s};
        m_rig->play(ids, 2);
        QSignalSpy shuffleChanged(m_rig->store.get(), &PlayerStore::shuffleEnabledChanged);
        store().toggleShuffle();
        QVERIFY(store().shuffleEnabled());
        QCOMPARE(store().queue().first().id, u"c"_s);
        QCOMPARE(store().queueIndex(), 0);
        // Shuffle does not touch playback.
        QCOMPARE(m_rig->backend.playerCount(), 1);
        store().next();
        const QString playing = m_rig->currentId();
        store().toggleShuffle();
        QVERIFY(!store().shuffleEnabled());
        QCOMPARE(shuffleChanged.count(), 2);
        QCOMPARE(trackIds(store().queue()), ids);
        QCOMPARE(store().queue().at(store().queueIndex()).id, playing);
    }

    void updateCurrentTrackOnlyForTheCurrentTrack()
    {
        m_rig->play({u"a"_s, u"b"_s}, 0);
        QSignalSpy changed(m_rig->store.get(), &PlayerStore::currentTrackChanged);
        store().updateCurrentTrack(makeTrack(u"b"_s).withFavorite(true));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!store().queue().at(1).isFavorite);

        store().updateCurrentTrack(makeTrack(u"a"_s).withFavorite(true));
        QCOMPARE(changed.count(), 1);
        QVERIFY(store().currentTrack()->isFavorite);
        QVERIFY(store().queue().at(0).isFavorite);
        // Neither the player nor the position moved.
        QCOMPARE(m_rig->backend.playerCount(), 1);
    }

    void crossfadeSettings()
    {
        QCOMPARE(store().crossfadeEnabled(), false);
        QCOMPARE(store().crossfadeDuration(), 3.0);
        const auto readBack = [&](const QVariant &stored) {
            QSettings().setValue(QLatin1StringView(PlayerStore::crossfadeDurationKey), stored);
            makeStore();
            // Reading does not write back.
            if (QSettings().value(QLatin1StringView(PlayerStore::crossfadeDurationKey)) != stored)
                return -1.0;
            return store().crossfadeDuration();
        };
        QCOMPARE(readBack(7.5), 7.5);
        QCOMPARE(readBack(0.0), 3.0);
        QCOMPARE(readBack(u"abc"_s), 3.0);
        QCOMPARE(readBack(1e300), 60.0);

        store().setCrossfadeEnabled(true);
        store().setCrossfadeDuration(0); // kept as given, read back as the default
        QCOMPARE(store().crossfadeDuration(), 0.0);
        makeStore();
        QVERIFY(store().crossfadeEnabled());
        QCOMPARE(store().crossfadeDuration(), 3.0);
        store().setCrossfadeDuration(qInf());
        store().setCrossfadeDuration(qQNaN()); // refused
        QCOMPARE(store().crossfadeDuration(), 60.0);
        QCOMPARE(QSettings().value(QLatin1StringView(PlayerStore::crossfadeDurationKey)).toDouble(), 60.0);
    }

    void badTimesCountAsZeroAndFormat()
    {
        TrackOut unknownLength = makeTrack(u"a"_s);
        unknownLength.durationSeconds = 0;
        store().play(unknownLength, {});
        FakeAudioPlayer *p = m_rig->player();
        for (double t : {qQNaN(), -4.0, qInf()}) {
            p->tick(12);
            p->tick(t);
            QCOMPARE(store().elapsed(), 0.0);
        }
        // The item's length is taken only once it is finite and not negative.
        p->setItemDuration(-5);
        p->tick(1);
        QCOMPARE(store().duration(), 0.0);
        p->setItemDuration(181.5);
        p->tick(2);
        QCOMPARE(store().durationLabel(), u"3:01"_s);

        store().seek(qQNaN());
        store().seek(-1);
        store().seek(500); // past the end: nothing for the media to play
        QCOMPARE(p->seeks(), QList<double>({0.0, 0.0}));
        QCOMPARE(store().elapsed(), 0.0);
    }

    void placeByListAndQueue()
    {
        PlayQueue q;
        // An empty list on an empty queue plays the track alone.
        QCOMPARE(q.place(makeTrack(u"a"_s), {}), 0);
        QCOMPARE(trackIds(q.tracks()), QStringList({u"a"_s}));
        // An empty list keeps a queue that holds the track and jumps to it...
        q.place(makeTrack(u"a"_s), makeTracks({u"a"_s, u"b"_s, u"c"_s}));
        QCOMPARE(q.place(makeTrack(u"c"_s), {}), 2);
        // ...and appends one it does not hold.
        QCOMPARE(q.place(makeTrack(u"x"_s), {}), 3);
        QCOMPARE(trackIds(q.tracks()), QStringList({u"a"_s, u"b"_s, u"c"_s, u"x"_s}));
        // A list that lacks the track gets it appended.
        QCOMPARE(q.place(makeTrack(u"z"_s), makeTracks({u"a"_s, u"b"_s})), 2);
        QCOMPARE(trackIds(q.tracks()), QStringList({u"a"_s, u"b"_s, u"z"_s}));

        // Shuffled, the track goes first and its copies go.
        PlayQueue shuffled;
        shuffled.setShuffled(true, std::nullopt);
        const auto list = makeTracks({u"a"_s, u"b"_s, u"c"_s, u"b"_s, u"d"_s});
        QCOMPARE(shuffled.place(makeTrack(u"b"_s), list), 0);
        QCOMPARE(shuffled.tracks().first().id, u"b"_s);
        QStringList rest = trackIds(shuffled.tracks().mid(1));
        rest.sort();
        QCOMPARE(rest, QStringList({u"a"_s, u"c"_s, u"d"_s}));
        QCOMPARE(trackIds(shuffled.savedOrder()), trackIds(list));

        // The rest is drawn from the queue's own source: a seeded one
        // orders it as the shared shuffle does from that seed.
        SplitMix64 seeded(7), reference(7);
        PlayQueue pinned([&seeded] { return seeded.next(); });
        pinned.setShuffled(true, std::nullopt);
        QStringList expected {u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s, u"h"_s, u"i"_s, u"j"_s};
        pinned.place(makeTrack(u"b"_s), makeTracks(QStringList {u"b"_s} + expected));
        shuffleList(expected, [&reference] { return reference.next(); });
        QCOMPARE(trackIds(pinned.tracks().mid(1)), expected);
    }

    void firstPlayableSkipsAndWraps_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected");
        QTest::newRow("skips one") << QStringList({u"a"_s, u"bad"_s, u"c"_s}) << 1 << 2;
        QTest::newRow("wraps to the start") << QStringList({u"a"_s, u"bad"_s, u"bad"_s}) << 1 << 0;
        QTest::newRow("index past the end wraps") << QStringList({u"a"_s, u"b"_s, u"c"_s}) << 4 << 1;
        QTest::newRow("none resolves") << QStringList({u"bad"_s, u"bad"_s}) << 0 << -1;
    }

    void firstPlayableSkipsAndWraps()
    {
        QFETCH(QStringList, files);
        QFETCH(int, from);
        QFETCH(int, expected);
        QList<TrackOut> list;
        for (qsizetype i = 0; i < files.size(); ++i)
            list.append(makeTrack(QString::number(i), files.at(i)));
        PlayQueue q;
        if (!list.isEmpty())
            q.place(list.first(), list);
        const auto start = q.firstPlayable(from, resolveGood);
        QCOMPARE(start ? int(start->index) : -1, expected);
        if (start)
            QCOMPARE(start->url, QUrl(u"https://h/"_s + files.at(expected)));
    }

    void stepsByRepeatMode_data()
    {
        QTest::addColumn<RepeatMode>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("next"); // -1: the wave takes over
        QTest::addColumn<int>("previous");
        QTest::newRow("off last") << RepeatMode::Off << 2 << -1 << 1;
        QTest::newRow("off first goes back to the last") << RepeatMode::Off << 0 << 1 << 2;
        QTest::newRow("all last wraps") << RepeatMode::All << 2 << 0 << 1;
        QTest::newRow("one stays") << RepeatMode::One << 1 << 1 << 1;
        QTest::newRow("stale index, all") << RepeatMode::All << 5 << 0 << 1;
    }

    void stepsByRepeatMode()
    {
        QFETCH(RepeatMode, mode);
        QFETCH(int, index);
        QFETCH(int, next);
        QFETCH(int, previous);
        PlayQueue q;
        q.place(makeTrack(u"a"_s), makeTracks({u"a"_s, u"b"_s, u"c"_s}));
        q.setIndex(index);
        const auto n = q.nextIndex(mode);
        QCOMPARE(n ? int(*n) : -1, next);
        QCOMPARE(int(q.previousIndex(mode).value()), previous);
        QVERIFY(!PlayQueue().nextIndex(mode));
    }
};

QTEST_GUILESS_MAIN(TestPlayerStore)
#include "tst_playerstore.moc"
