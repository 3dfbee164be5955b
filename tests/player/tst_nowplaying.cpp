#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/apiconfig.h"
#include "player/nowplayingcontroller.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray imageBytes(QColor color, const char *format = "PNG")
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

FakeResponse imageResponse(QColor color)
{
    return FakeResponse {200, imageBytes(color), "image/png"};
}

TrackOut trackWithCover(const QString &id, std::optional<QString> cover)
{
    TrackOut track = makeTrack(id);
    track.coverUrl = std::move(cover);
    return track;
}

// The colour of the artwork the panel shows, read back from its file.
QColor shownColor(const NowPlayingController &controller)
{
    if (!controller.info() || controller.info()->artworkUrl.isEmpty())
        return QColor();
    const QImage image(controller.info()->artworkUrl.toLocalFile(), "PNG");
    return image.isNull() ? QColor() : image.pixelColor(0, 0);
}

} // namespace

class TestNowPlaying : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_host;
    std::unique_ptr<NowPlayingController> m_controller;

    NowPlayingController &controller() { return *m_controller; }
    int coverRequests(const QString &path) const
    {
        int n = 0;
        for (const RecordedRequest &r : m_host->requests())
            n += r.path == path ? 1 : 0;
        return n;
    }
    void show(const TrackOut &track, bool canSkip = true) { controller().update(track, 0, 200, true, canSkip); }
    bool waitForArtwork()
    {
        return QTest::qWaitFor([&] { return !controller().isLoadingArtwork(); }, nimbra::test::kEventLimitMs);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_host = std::make_unique<FakeHttpServer>();
        m_host->on(u"GET"_s, u"/covers/red.png"_s, imageResponse(Qt::red));
        m_host->on(u"GET"_s, u"/covers/blue.png"_s, imageResponse(Qt::blue));
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_host->baseUrl());
        QDir(NowPlayingController::artworkFolder()).removeRecursively();
        m_host->clearRequests();
        m_controller = std::make_unique<NowPlayingController>(NowPlayingController::Desktop::None);
    }

    void cleanup() { m_controller.reset(); }

    void panelEmptiesWithoutTrack()
    {
        // Nothing shown yet: a tick has nothing to update.
        controller().updateElapsed(5, 100, true);
        QVERIFY(!controller().info());

        show(trackWithCover(u"a"_s, u"covers/red.png"_s));
        QVERIFY(waitForArtwork());
        QCOMPARE(shownColor(controller()), QColor(Qt::red));

        controller().update(std::nullopt, 0, 0, false, false);
        QVERIFY(!controller().info());
        QVERIFY(!controller().lastArtworkUrl());
        controller().updateElapsed(7, 100, true);
        QVERIFY(!controller().info());

        // The cover was forgotten with the panel: it is fetched again.
        show(trackWithCover(u"a"_s, u"covers/red.png"_s));
        QVERIFY(waitForArtwork());
        QCOMPARE(coverRequests(u"/covers/red.png"_s), 2);
    }

    void sameCoverCarriesOverWithoutRequest()
    {
        show(trackWithCover(u"a"_s, u"covers/red.png"_s));
        QVERIFY(waitForArtwork());
        const QUrl artwork = controller().info()->artworkUrl;
        QVERIFY(QFileInfo(artwork.toLocalFile()).isFile());
        QVERIFY(artwork.toLocalFile().startsWith(NowPlayingController::artworkFolder()));

        // The next track of the album: the cover is there at once. Absolute
        // and relative forms of one address are one cover.
        show(trackWithCover(u"b"_s, m_host->baseUrl().toString() + u"/covers/red.png"_s));
        QCOMPARE(controller().info()->artworkUrl, artwork);
        QVERIFY(!controller().isLoadingArtwork());
        QCOMPARE(coverRequests(u"/covers/red.png"_s), 1);

        // A track without a cover shows none, and another cover starts
        // without the old one.
        show(trackWithCover(u"c"_s, std::nullopt));
        QVERIFY(controller().info()->artworkUrl.isEmpty());
        QVERIFY(!controller().lastArtworkUrl());
        show(trackWithCover(u"d"_s, u"covers/blue.png"_s));
        QVERIFY(controller().info()->artworkUrl.isEmpty());
        QVERIFY(waitForArtwork());
        QCOMPARE(shownColor(controller()), QColor(Qt::blue));
    }

    void replacedFetchNeverShows()
    {
        AnswerGate replaced;
        m_host->on(u"GET"_s, u"/covers/slow-green.png"_s, replaced.hold(imageResponse(Qt::green)));
        show(trackWithCover(u"a"_s, u"covers/slow-green.png"_s));
        QTRY_COMPARE(coverRequests(u"/covers/slow-green.png"_s), 1);
        show(trackWithCover(u"b"_s, u"covers/blue.png"_s));
        QVERIFY(waitForArtwork());
        QCOMPARE(shownColor(controller()), QColor(Qt::blue));
        // The slow answer comes now (and is stored), or was aborted.
        replaced.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(shownColor(controller()), QColor(Qt::blue));

        // Same with a track without a cover: the slow one must not land.
        AnswerGate dropped;
        m_host->on(u"GET"_s, u"/covers/slow-green.png"_s, dropped.hold(imageResponse(Qt::green)));
        show(trackWithCover(u"c"_s, u"covers/slow-green.png"_s));
        QTRY_COMPARE(coverRequests(u"/covers/slow-green.png"_s), 2);
        show(trackWithCover(u"d"_s, std::nullopt));
        dropped.open();
        QVERIFY(waitUntilIdle());
        QVERIFY(controller().info()->artworkUrl.isEmpty());
    }

    void coverResponses_data()
    {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<bool>("shown");
        QTest::newRow("a JPEG is stored as PNG")
            << FakeResponse {200, imageBytes(Qt::red, "JPEG"), "image/jpeg"} << true;
        QTest::newRow("text") << FakeResponse {200, "<html>not found</html>", "text/html"} << false;
        QTest::newRow("cut short") << FakeResponse {200, imageBytes(Qt::red).left(40), "image/png"} << false;
    }

    void coverResponses()
    {
        QFETCH(FakeResponse, response);
        QFETCH(bool, shown);
        m_host->on(u"GET"_s, u"/covers/varied"_s, response);
        show(trackWithCover(u"a"_s, u"covers/varied"_s));
        QVERIFY(waitForArtwork());
        if (shown) {
            // Colours survive a JPEG round trip only roughly.
            QVERIFY(shownColor(controller()).red() > 200);
            QVERIFY(shownColor(controller()).green() < 50);
        } else {
            QVERIFY(controller().info()->artworkUrl.isEmpty());
            // Nothing half-made is left for a panel to read.
            QVERIFY(QDir(NowPlayingController::artworkFolder()).entryList(QDir::Files).isEmpty());
        }
        // A failed cover is not asked for again for the same address.
        show(trackWithCover(u"b"_s, u"covers/varied"_s));
        QVERIFY(waitForArtwork());
        QCOMPARE(coverRequests(u"/covers/varied"_s), 1);
    }

    // A cover the host refused is not asked for again, however often its
    // track comes back between others; one that failed otherwise is.
    void refusedCoverIsAskedOnce()
    {
        m_host->on(u"GET"_s, u"/covers/gone.png"_s, FakeResponse {404, "{}", "application/json"});
        m_host->on(u"GET"_s, u"/covers/down.png"_s, FakeResponse {503, "{}", "application/json"});
        for (int round = 0; round < 2; ++round) {
            for (const QString &cover : {u"covers/gone.png"_s, u"covers/down.png"_s, u"covers/red.png"_s}) {
                show(trackWithCover(cover, cover));
                QVERIFY(waitForArtwork());
            }
        }
        QCOMPARE(coverRequests(u"/covers/gone.png"_s), 1);
        QCOMPARE(coverRequests(u"/covers/down.png"_s), 2);
        QCOMPARE(shownColor(controller()), QColor(Qt::red));
    }

    void artworkFolderStaysSmall()
    {
        const int covers = NowPlayingController::keptArtworkFiles + 4;
        for (int i = 0; i < covers; ++i) {
            const QString path = u"/covers/many-%1.png"_s.arg(i);
            m_host->on(u"GET"_s, path, imageResponse(QColor::fromHsv(i * 10, 255, 255)));
            show(trackWithCover(u"t%1"_s.arg(i), path));
            QVERIFY(waitForArtwork());
        }
        const QStringList files = QDir(NowPlayingController::artworkFolder()).entryList(QDir::Files);
        QCOMPARE(files.size(), NowPlayingController::keptArtworkFiles);
        QVERIFY(QFileInfo::exists(controller().info()->artworkUrl.toLocalFile()));
        QCOMPARE(shownColor(controller()).rgb(), QColor::fromHsv((covers - 1) * 10, 255, 255).rgb());
    }
};

QTEST_GUILESS_MAIN(TestNowPlaying)
#include "tst_nowplaying.moc"
