#include "trackfixtures.h"

#include "player/playqueue.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Only entries whose path is not "bad" resolve.
std::optional<QUrl> resolveGood(const TrackOut &t)
{
    if (t.fileURL == "bad"_L1)
        return std::nullopt;
    return QUrl(u"https://h/"_s + t.fileURL);
}

} // namespace

class TestPlayQueue : public QObject
{
    Q_OBJECT
private slots:
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
    }

    void placeWithShufflePutsTrackFirstAndDropsItsCopies()
    {
        PlayQueue q;
        q.setShuffled(true, std::nullopt);
        const auto list = makeTracks({u"a"_s, u"b"_s, u"c"_s, u"b"_s, u"d"_s});
        QCOMPARE(q.place(makeTrack(u"b"_s), list), 0);
        QCOMPARE(q.tracks().first().id, u"b"_s);
        QStringList rest = trackIds(q.tracks().mid(1));
        rest.sort();
        QCOMPARE(rest, QStringList({u"a"_s, u"c"_s, u"d"_s}));
        QCOMPARE(trackIds(q.savedOrder()), trackIds(list));
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

QTEST_GUILESS_MAIN(TestPlayQueue)
#include "tst_playqueue.moc"
