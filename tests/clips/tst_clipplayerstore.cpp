#include "fakevideoplayer.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "clips/clipplayerstore.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString badPath = u"https://[::1/broken.avi"_s;

// "ok" clips have an address, "-" clips have none.
QList<ClipOut> makeQueue(const QString &shape)
{
    QList<ClipOut> queue;
    for (int i = 0; i < shape.size(); ++i) {
        ClipOut clip;
        clip.id = u"c%1"_s.arg(i);
        clip.title = u"Clip %1"_s.arg(i);
        clip.artist = u"Artist"_s;
        clip.durationSeconds = 120;
        clip.fileUrl = shape.at(i) == QLatin1Char('-') ? badPath : u"media/clips/c%1.avi"_s.arg(i);
        queue.append(clip);
    }
    return queue;
}

// Runs the store's scheduled steps.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestClipPlayerStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeVideoBackend> m_backend;
    std::unique_ptr<ClipPlayerStore> m_store;

    ClipPlayerStore &store() { return *m_store; }
    FakeVideoPlayer &player() { return *m_backend->player(); }
    int index() const { return m_store->queueIndex(); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:9/api"_s));
    }

    void init()
    {
        m_backend = std::make_unique<FakeVideoBackend>();
        m_store = std::make_unique<ClipPlayerStore>(m_backend.get());
    }

    void startAndStep_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<QString>("steps"); // n = next, p = previous, e = end of item
        QTest::addColumn<QList<int>>("indices"); // after the start, then after each step

        QTest::newRow("start as pressed") << "ooooo" << 2 << "" << QList<int> {2};
        QTest::newRow("search skips clips without address") << "o--oo" << 1 << "" << QList<int> {3};
        QTest::newRow("search wraps to the front") << "oo---" << 3 << "" << QList<int> {0};
        QTest::newRow("next wraps at the end") << "ooo" << 1 << "nn" << QList<int> {1, 2, 0};
        QTest::newRow("previous wraps at the front") << "ooo" << 1 << "pp" << QList<int> {1, 0, 2};
        QTest::newRow("next skips without address") << "oo-o" << 1 << "nn" << QList<int> {1, 3, 0};
        // Backwards, or previous could never get past a clip without address.
        QTest::newRow("previous skips without address") << "o-oo" << 2 << "pp" << QList<int> {2, 0, 3};
        QTest::newRow("end of the last starts the first") << "ooo" << 2 << "e" << QList<int> {2, 0};
        QTest::newRow("end of a lone clip replays it") << "o" << 0 << "ee" << QList<int> {0, 0, 0};
    }

    void startAndStep()
    {
        QFETCH(QString, shape);
        QFETCH(int, pressed);
        QFETCH(QString, steps);
        QFETCH(QList<int>, indices);
        const QList<ClipOut> queue = makeQueue(shape);
        store().play(queue.at(pressed), queue);
        QList<int> seen {index()};
        for (const QChar step : steps) {
            if (step == QLatin1Char('n'))
                store().next();
            else if (step == QLatin1Char('p'))
                store().previous();
            else
                player().finish();
            settle();
            seen.append(index());
        }
        QCOMPARE(seen, indices);
        QCOMPARE(store().currentClip()->id, queue.at(indices.last()).id);
        QCOMPARE(player().source(), *ApiConfig::resolve(queue.at(indices.last()).fileUrl));
        QVERIFY(player().isPlaying());
        QVERIFY(store().isPlaying());
        QCOMPARE(m_backend->createdCount(), 1); // one player for every clip
    }

    void queueArgument_data()
    {
        QTest::addColumn<bool>("keepEarlier"); // an earlier queue is still loaded
        QTest::addColumn<bool>("passQueue");
        QTest::addColumn<QString>("clipId");
        QTest::addColumn<QStringList>("queueIds");

        QTest::newRow("empty queue after dismiss: the one clip") << false << false << "x" << QStringList {"x"};
        QTest::newRow("empty queue keeps the loaded one, appends") << true << false << "x" << QStringList {"c0", "c1", "x"};
        QTest::newRow("empty queue, clip already in it") << true << false << "c1" << QStringList {"c0", "c1"};
        QTest::newRow("clip missing from the given queue is appended")
            << false << true << "x" << QStringList {"c0", "c1", "x"};
    }

    void queueArgument()
    {
        QFETCH(bool, keepEarlier);
        QFETCH(bool, passQueue);
        QFETCH(QString, clipId);
        QFETCH(QStringList, queueIds);
        const QList<ClipOut> two = makeQueue(u"oo"_s);
        store().play(two.first(), two);
        if (!keepEarlier)
            store().dismiss();
        ClipOut clip = makeQueue(u"o"_s).first();
        clip.id = clipId;
        store().play(clip, passQueue ? two : QList<ClipOut> {});
        QStringList ids;
        for (const ClipOut &c : store().queue())
            ids.append(c.id);
        QCOMPARE(ids, queueIds);
        QCOMPARE(store().currentClipId(), clipId);
    }

    void noPlayableClipChangesNothing()
    {
        const QList<ClipOut> none = makeQueue(u"--"_s);
        QSignalSpy presented(&store(), &ClipPlayerStore::isPresentedChanged);
        store().play(none.first(), none);
        QVERIFY(!store().isPresented());
        QVERIFY(!store().hasPlayer());
        QCOMPARE(presented.count(), 0);
    }

    void failingItems_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("pressed");
        // What happens, in turn, to the item loaded at that moment: f fails,
        // F fails and ends at once (GStreamer may post both), r becomes
        // ready, e ends; p is the play button pressed.
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("expectedLoads");
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<bool>("stopped"); // with the message, not playing

        QTest::newRow("failed item moves on") << "ooo" << 0 << "fr" << 2 << 1 << false;
        QTest::newRow("all failing: one pass, then stop") << "ooo" << 1 << "fff" << 3 << 0 << true;
        QTest::newRow("one failing clip is not reloaded") << "o" << 0 << "f" << 1 << 0 << true;
        QTest::newRow("pass skips clips without address") << "o-o" << 0 << "ff" << 2 << 2 << true;
        QTest::newRow("failure and end together move on once") << "ooo" << 0 << "Fr" << 2 << 1 << false;
        QTest::newRow("end after the stop restarts nothing") << "o" << 0 << "fe" << 1 << 0 << true;
        QTest::newRow("failure and end together after a pass stop") << "oo" << 0 << "fF" << 2 << 1 << true;
        // The clip that played opens a new pass: the failures after it
        // run round to it again instead of stopping before it.
        QTest::newRow("fail, play, fail round to the one that played") << "oooo" << 0 << "frefff" << 6 << 1 << false;
        QTest::newRow("... and stop when it fails too") << "oooo" << 0 << "freffff" << 6 << 1 << true;
        QTest::newRow("play after a failed pass tries again") << "oo" << 0 << "ffp" << 3 << 1 << false;
        QTest::newRow("... for one whole pass") << "oo" << 0 << "ffpff" << 4 << 0 << true;
    }

    void failingItems()
    {
        QFETCH(QString, shape);
        QFETCH(int, pressed);
        QFETCH(QString, script);
        QFETCH(int, expectedLoads);
        QFETCH(int, endsAt);
        QFETCH(bool, stopped);
        const QList<ClipOut> queue = makeQueue(shape);
        store().play(queue.at(pressed), queue);
        for (const QChar event : script) {
            switch (event.toLatin1()) {
            case 'f': player().fail(); break;
            case 'F': player().fail(); player().finish(); break;
            case 'r': player().becomeReady(); break;
            case 'e': player().finish(); break;
            case 'p': store().togglePlayPause(); break;
            }
            settle();
        }
        QCOMPARE(player().loads().size(), expectedLoads);
        QCOMPARE(index(), endsAt);
        QVERIFY(store().isPresented());
        QCOMPARE(store().failureText(), stopped ? ClipPlayerStore::failureMessage() : QString());
        QCOMPARE(store().isPlaying(), !stopped);
        QCOMPARE(player().isPlaying(), !stopped);
    }

    void readyItemStartsANewPass()
    {
        const QList<ClipOut> queue = makeQueue(u"oo"_s);
        store().play(queue.first(), queue);
        player().becomeReady();
        player().finish(); // c0 played to its end
        settle();
        player().fail(); // c1 fails: c0 played before, so it is tried again
        settle();
        QCOMPARE(index(), 0);
        player().fail(); // c0 fails now too: both failed since the last ready
        settle();
        QCOMPARE(player().loads().size(), 3);
        QCOMPARE(store().failureText(), ClipPlayerStore::failureMessage());
        // Next, asked for by the listener, tries again and clears the line.
        store().next();
        QCOMPARE(index(), 1);
        QVERIFY(store().failureText().isEmpty());
        QVERIFY(store().isPlaying());
    }

    void lateNotificationOfEarlierItemIsDropped()
    {
        const QList<ClipOut> queue = makeQueue(u"ooo"_s);
        store().play(queue.first(), queue);
        player().finish(); // queued ...
        store().next(); // ... while the listener already moved on
        settle();
        QCOMPARE(index(), 1);
    }

    void timesAndSeek_data()
    {
        QTest::addColumn<qint64>("recordSeconds");
        QTest::addColumn<double>("itemSeconds"); // the item's own length, NaN: unknown
        QTest::addColumn<double>("request");
        QTest::addColumn<double>("durationAfterTick");
        QTest::addColumn<double>("target");

        QTest::newRow("past the end") << qint64(120) << qQNaN() << 500.0 << 120.0 << 120.0;
        QTest::newRow("before the start") << qint64(120) << qQNaN() << -3.0 << 120.0 << 0.0;
        QTest::newRow("not a number") << qint64(120) << qQNaN() << qQNaN() << 120.0 << 0.0;
        QTest::newRow("no duration: 0..1") << qint64(0) << qQNaN() << 7.0 << 0.0 << 1.0;
        QTest::newRow("negative record, item knows") << qint64(-5) << 8.0 << 9.0 << 8.0 << 8.0;
        QTest::newRow("indefinite item keeps record") << qint64(90) << qInf() << 30.0 << 90.0 << 30.0;
    }

    void timesAndSeek()
    {
        QFETCH(qint64, recordSeconds);
        QFETCH(double, itemSeconds);
        QFETCH(double, request);
        QFETCH(double, durationAfterTick);
        QFETCH(double, target);
        QList<ClipOut> queue = makeQueue(u"o"_s);
        queue.first().durationSeconds = recordSeconds;
        store().play(queue.first(), queue);
        QCOMPARE(store().duration(), double(std::max<qint64>(recordSeconds, 0)));
        player().setItemDuration(itemSeconds);
        player().tick(2.4);
        settle();
        QCOMPARE(store().elapsed(), 2.4);
        QCOMPARE(store().duration(), durationAfterTick);
        store().seek(request);
        QCOMPARE(player().seeks().last(), target);
        QCOMPARE(store().elapsed(), target); // at once, before the seek completes
    }

    // Whichever way the next clip comes (next, previous, the end of the one
    // before), its time starts at 0:00, not where the earlier one was.
    void aNewClipStartsAtZero_data()
    {
        QTest::addColumn<QChar>("step");
        QTest::newRow("next") << QChar(u'n');
        QTest::newRow("previous") << QChar(u'p');
        QTest::newRow("end of the clip") << QChar(u'e');
    }

    void aNewClipStartsAtZero()
    {
        QFETCH(QChar, step);
        const QList<ClipOut> queue = makeQueue(u"ooo"_s);
        store().play(queue.at(1), queue);
        player().tick(75.3);
        settle();
        QCOMPARE(store().elapsedText(), u"1:15"_s);
        QSignalSpy times(&store(), &ClipPlayerStore::timeChanged);
        if (step == u'n')
            store().next();
        else if (step == u'p')
            store().previous();
        else
            player().finish();
        settle();
        QVERIFY(index() != 1);
        QCOMPARE(store().elapsed(), 0.0);
        QCOMPARE(store().elapsedText(), u"0:00"_s);
        QCOMPARE(store().durationText(), u"2:00"_s);
        QVERIFY(times.size() >= 1);
    }

    void windowedFullscreenAndDismiss()
    {
        const QList<ClipOut> queue = makeQueue(u"ooo"_s);
        store().play(queue.first(), queue);
        QVERIFY(store().isPresented());
        QVERIFY(!store().isFullscreen());
        store().setFullscreen(true);
        store().next();
        player().finish();
        settle();
        QVERIFY(store().isFullscreen()); // stepping keeps the layout
        store().togglePlayPause();
        QVERIFY(!store().isPlaying());
        QVERIFY(!player().isPlaying());
        store().next();
        QVERIFY(store().isPlaying()); // stepping while paused plays

        QPointer<FakeVideoPlayer> released = &player();
        store().dismiss();
        QVERIFY(!store().isFullscreen());
        QVERIFY(!store().isPresented());
        QVERIFY(!store().hasClip());
        QVERIFY(!store().hasPlayer());
        QVERIFY(store().queue().isEmpty());
        QCOMPARE(store().elapsed(), 0.0);
        QTRY_VERIFY(released.isNull());

        store().next();
        store().previous();
        store().togglePlayPause();
        store().seek(5);
        QVERIFY(!store().isPresented());
        QCOMPARE(m_backend->createdCount(), 1);

        store().play(queue.first(), {});
        QVERIFY(!store().isFullscreen()); // the next start is windowed
        QCOMPARE(m_backend->createdCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestClipPlayerStore)
#include "tst_clipplayerstore.moc"
