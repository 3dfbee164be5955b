// The media stack loads at the first player, not with the program, and not
// on the window's thread: the core library does not bring QtMultimedia
// along, and the first player asked for has it loaded on a worker, from
// beside the core library, standing in for the real player until then.
#include "eventloop.h"
#include "fakeaudiobackend.h"
#include "fakevideoplayer.h"
#include "manualclock.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/session.h"
#include "api/apiconfig.h"
#include "clips/clipplayerstore.h"
#include "platform/medialibrary.h"
#include "platform/pendingmediaplayers.h"
#include "player/playerstore.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

bool mapped(const QByteArray &library)
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

struct AudioVia : AudioBackend
{
    explicit AudioVia(AudioBackend *to) : to(to) { }
    AudioPlayerPtr createPlayer(const QUrl &source) override { return to->createPlayer(source); }
    AudioBackend *to;
};

struct VideoVia : VideoBackend
{
    explicit VideoVia(VideoBackend *to) : to(to) { }
    VideoPlayerPtr createPlayer() override { return to->createPlayer(); }
    VideoBackend *to;
};

// A load the test lets finish when it likes, of a library whose players
// are the fakes.
class HeldLoad : public MediaEntry
{
public:
    MediaLoader loader()
    {
        return [this](QObject *context, std::function<void(MediaEntry &)> ready) {
            m_waiting.append({context, std::move(ready)});
        };
    }
    void finish()
    {
        for (const auto &[context, ready] : std::exchange(m_waiting, {})) {
            if (context)
                ready(*this);
        }
    }

    std::unique_ptr<AudioBackend> createAudioBackend() override { return std::make_unique<AudioVia>(&audio); }
    std::unique_ptr<VideoBackend> createVideoBackend() override { return std::make_unique<VideoVia>(&video); }
    QObject *createFrameSink(std::function<void(QImage)>, QObject *) override { return nullptr; }
    QObject *openIdleStream(QObject *parent) override
    {
        ++streamsOpened;
        return new QObject(parent);
    }

    int streamsOpened = 0;
    FakeAudioBackend audio;
    FakeVideoBackend video;

private:
    QList<std::pair<QPointer<QObject>, std::function<void(MediaEntry &)>>> m_waiting;
};

} // namespace

class TestMediaLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:9/"_s));
    }

    void theFirstPlayerLoadsTheMediaStackOffTheWindowThread()
    {
        OnDemandAudioBackend audio;
        QVERIFY(!MediaLibrary::isLoaded());
        QVERIFY(!mapped("libQt6Multimedia"));

        const QUrl source(u"http://127.0.0.1:9/media/tracks/t00001.wav"_s);
        AudioPlayerPtr player = audio.createPlayer(source);
        auto *pending = qobject_cast<PendingAudioPlayer *>(player.get());
        QVERIFY(pending);
        QCOMPARE(player->source(), source);
        // Told while the stack loads, and handed on once it is there.
        player->setVolume(0.25f);
        player->seek(3);
        player->play();
        QVERIFY(!pending->real());
        QCOMPARE(player->currentTime(), 3.0);
        QTRY_VERIFY(pending->real());
        QVERIFY(MediaLibrary::isLoaded());
        QVERIFY(mapped("libnimbra_media"));
        QVERIFY(mapped("libQt6Multimedia"));
        QCOMPARE(pending->real()->source(), source);
        QCOMPARE(player->volume(), 0.25f);
        // One library for every later player and surface; later players
        // are the real ones.
        QCOMPARE(&MediaLibrary::entry(), &MediaLibrary::entry());
        AudioPlayerPtr later = audio.createPlayer(source);
        QVERIFY(later && !qobject_cast<PendingAudioPlayer *>(later.get()));
    }

    // Only the last wish made while the stack loads counts, and a player
    // dropped or paused before then makes no real one.
    void wishesWhileTheStackLoads_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("made");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QList<double>>("seeks");

        QTest::addRow("a press") << QStringList {u"play a"_s} << QStringList {u"a"_s} << true << QList<double> {};
        QTest::addRow("two presses") << QStringList {u"play a"_s, u"play b"_s} << QStringList {u"b"_s} << true
                                     << QList<double> {};
        QTest::addRow("a press, then next") << QStringList {u"play a"_s, u"next"_s} << QStringList {u"b"_s} << true
                                            << QList<double> {};
        QTest::addRow("a press, then pause") << QStringList {u"play a"_s, u"pause"_s} << QStringList {} << false
                                             << QList<double> {};
        QTest::addRow("a press, pause and play") << QStringList {u"play a"_s, u"pause"_s, u"pause"_s}
                                                 << QStringList {u"a"_s} << true << QList<double> {};
        QTest::addRow("a press, then a seek") << QStringList {u"play a"_s, u"seek"_s} << QStringList {u"a"_s} << true
                                              << QList<double> {42.0};
        QTest::addRow("a press, then sign-out") << QStringList {u"play a"_s, u"sign out"_s} << QStringList {} << false
                                                << QList<double> {};
    }

    void wishesWhileTheStackLoads()
    {
        QFETCH(QStringList, steps);
        HeldLoad load;
        OnDemandAudioBackend audio(load.loader());
        Session session;
        session.setToken(u"token"_s);
        ManualClock clock;
        PlayerStore store(&audio, &session, &clock);
        const QList<TrackOut> queue = makeTracks({u"a"_s, u"b"_s});
        for (const QString &step : steps) {
            if (step.startsWith(u"play "_s))
                store.play(makeTrack(step.mid(5)), queue);
            else if (step == u"next"_s)
                store.next();
            else if (step == u"pause"_s)
                store.togglePlayPause();
            else if (step == u"seek"_s)
                store.seek(42);
            else if (step == u"sign out"_s)
                session.setToken(std::nullopt);
            // The listener's next step comes from the event loop.
            QVERIFY(deliverPostedEvents());
        }
        // Presses quicker than a player sounds start once they settle.
        clock.advance(HeldStart::settle);
        load.finish();
        QVERIFY(deliverPostedEvents());

        QStringList made;
        for (const QUrl &source : load.audio.startedSources())
            made.append(QFileInfo(source.path()).baseName());
        QTEST(made, "made");
        QTEST(store.isPlaying(), "playing");
        if (FakeAudioPlayer *real = load.audio.lastPlayer()) {
            QTEST(real->isPlaying(), "playing");
            QTEST(real->seeks(), "seeks");
        }
    }

    // An output readied before the first press opens its stream once the
    // library is there, unless it was let go of before.
    void aReadiedOutputOpensItsStreamOnceTheLibraryIsOpen()
    {
        HeldLoad load;
        OnDemandAudioBackend audio(load.loader(), load.loader());
        std::unique_ptr<QObject> kept = audio.readyOutput();
        std::unique_ptr<QObject> dropped = audio.readyOutput();
        dropped.reset();
        QCOMPARE(load.streamsOpened, 0);
        load.finish();
        QCOMPARE(load.streamsOpened, 1);
        QCOMPARE(kept->children().size(), 1);
    }

    // The clip overlay shows at once; the video player starts once the
    // stack is there, with the clip asked for last, or not at all.
    void clipWishesWhileTheStackLoads_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("loaded");

        QTest::addRow("a press") << QStringList {u"play"_s} << u"c0.avi"_s;
        QTest::addRow("a press, then next") << QStringList {u"play"_s, u"next"_s} << u"c1.avi"_s;
        QTest::addRow("a press, then close") << QStringList {u"play"_s, u"close"_s} << QString();
    }

    void clipWishesWhileTheStackLoads()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, loaded);
        HeldLoad load;
        OnDemandVideoBackend video(load.loader());
        ClipPlayerStore store(&video);
        QList<ClipOut> queue;
        for (const QString &id : {u"c0"_s, u"c1"_s}) {
            ClipOut clip;
            clip.id = id;
            clip.fileUrl = u"media/clips/%1.avi"_s.arg(id);
            queue.append(clip);
        }
        for (const QString &step : steps) {
            if (step == u"play"_s)
                store.play(queue.first(), queue);
            else if (step == u"next"_s)
                store.next();
            else if (step == u"close"_s)
                store.dismiss();
            QCOMPARE(store.isPresented(), step != u"close"_s);
            QCOMPARE(store.isPlaying(), step != u"close"_s);
            QVERIFY(deliverPostedEvents());
        }
        load.finish();
        QVERIFY(deliverPostedEvents());

        QCOMPARE(load.video.createdCount(), loaded.isEmpty() ? 0 : 1);
        if (!loaded.isEmpty()) {
            QCOMPARE(load.video.player()->loads().size(), 1);
            QCOMPARE(load.video.player()->source().fileName(), loaded);
            QVERIFY(load.video.player()->isPlaying());
        }
    }
};

QTEST_MAIN(TestMediaLibrary)
#include "tst_medialibrary.moc"
