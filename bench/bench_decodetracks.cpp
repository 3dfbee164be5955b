// Decoding speed of catalogue pages, how long the window's event loop
// stands still while the typed client decodes a large answer of the service,
// and how long the client's window stands still while a screen lays out
// rows of such an answer:
//
//   build/bench/bench_decodetracks                    all three
//   build/bench/bench_decodetracks stallWhileDecoding the stalls, with the table
//   build/bench/bench_decodetracks stallWhileShowing  the screens' stalls
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiclient.h"
#include "api/apiconfig.h"
#include "api/catalogrecords.h"
#include "api/nimbraapi.h"
#include "catalogue/catalogmodel.h"
#include "catalogue/searchmodel.h"
#include "platform/renderbackend.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"

#include "devserviceprocess.h"
#include "fakehttpserver.h"
#include "memorysecretstore.h"
#include "screentest.h"
#include "stallwatch.h"
#include "testenv.h"
#include "xvfbdisplay.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QtTest>

#include <QCoro/QCoroTask>

#include <cstdio>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// A page as the catalogue's brief listing sends it: no lyrics, the rest filled.
QByteArray briefTrackPage(int count)
{
    QJsonArray items;
    for (int i = 0; i < count; ++i) {
        TrackOut t;
        t.id = u"trk-%1"_s.arg(i, 6, 10, QChar(u'0'));
        t.title = u"Композиция номер %1"_s.arg(i);
        t.artist = i % 3 ? u"Лина feat. Mark"_s : u"Северный ветер"_s;
        t.durationSeconds = 120 + i % 240;
        t.fileUrl = i % 4 ? u"media/%1.mp3"_s.arg(t.id) : u"media/%1.flac"_s.arg(t.id);
        t.coverUrl = u"covers/%1.png"_s.arg(i % 500);
        if (i % 2)
            t.albumId = u"alb-%1"_s.arg(i / 10);
        t.trackNumber = i % 12 + 1;
        t.isFavorite = i % 7 == 0;
        t.createdAt = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(i) * 3607);
        items.append(t.toJson());
    }
    const QJsonObject page {
        {"items"_L1, items}, {"total"_L1, count}, {"page"_L1, 1}, {"size"_L1, count}, {"pages"_L1, 1}};
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

const QString words = u"Очень длинное название "_s;

// A title or credit of about 90,000 characters (180 KB of UTF-8 in words),
// the piece repeated.
QString longTextOf(const QString &piece)
{
    return piece.repeated(90'000 / int(piece.size()));
}

// Tracks whose titles and credits are the long text.
QJsonArray longTextTracks(const QString &longText, int count)
{
    QJsonArray tracks;
    for (int i = 0; i < count; ++i) {
        TrackOut t;
        t.id = u"trk-%1"_s.arg(i);
        t.title = longText + QString::number(i);
        t.artist = longText;
        t.durationSeconds = 200;
        t.fileUrl = u"media/%1.mp3"_s.arg(t.id);
        tracks.append(t.toJson());
    }
    return tracks;
}

// A search answer whose every title and credit runs to about 90,000
// characters, 21 MB in all, under the body limit.
QJsonObject longTextSearchObject(const QString &piece = words)
{
    const QString longText = longTextOf(piece);
    QJsonArray albums;
    for (int i = 0; i < 30; ++i) {
        AlbumOut a;
        a.id = u"alb-%1"_s.arg(i);
        a.title = longText;
        a.artist = longText;
        albums.append(a.toJson());
    }
    return QJsonObject {{"tracks"_L1, longTextTracks(longText, 30)}, {"albums"_L1, albums}};
}

QByteArray longTextSearch()
{
    return QJsonDocument(longTextSearchObject()).toJson(QJsonDocument::Compact);
}

// The catalogue screen's first page, every title and credit as long.
QJsonObject longTextCataloguePage(const QString &piece)
{
    const QJsonArray items = longTextTracks(longTextOf(piece), CatalogModel::pageSize);
    return QJsonObject {{"items"_L1, items}, {"total"_L1, items.size()}, {"page"_L1, 1},
        {"size"_L1, CatalogModel::pageSize}, {"pages"_L1, 1}};
}

// True once the first row of that name is on screen with a long text.
bool longRowShown(QQuickWindow *window, const QString &name)
{
    QQuickItem *row = test::findItem(window, name);
    return row && test::isShown(row) && row->property("text").toString().size() > 100;
}

// A catalogue page of 1000 brief tracks with long titles and credits.
QByteArray longTextPage()
{
    QByteArray body = briefTrackPage(1000);
    return body.replace("\"Композиция номер ", "\"" + QByteArray("Композиция номер ").repeated(400));
}

// Runs the event loop while work runs and returns the longest time, in
// milliseconds, between two turns of it (a 1 ms timer measures them).
template<typename Work> double longestStall(Work &&work)
{
    QElapsedTimer sinceTurn;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTurn.nsecsElapsed());
        sinceTurn.start();
    });
    ticker.start();
    sinceTurn.start();
    work();
    ticker.stop();
    longest = std::max(longest, sinceTurn.nsecsElapsed());
    return longest / 1e6;
}

// As the typed client decoded before: the body read, then decoded where the
// answer arrived, on the window's thread.
template<typename T> QCoro::Task<qsizetype> fetchAndDecodeInline(QString path, QMap<QString, QString> query)
{
    const ApiClient client;
    QCoro::Task<QByteArray> fetching = client.request(path, u"GET"_s, query, std::nullopt, QString(), std::nullopt);
    const QByteArray body = co_await fetching;
    const T decoded = decodeJson<T>(body);
    co_return body.size();
}

} // namespace

class BenchDecodeTracks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void decodeTrackPage_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("1000") << 1000;
        QTest::newRow("10000") << 10000;
        QTest::newRow("100000") << 100000;
    }

    void decodeTrackPage()
    {
        QFETCH(int, count);
        const QByteArray body = briefTrackPage(count);
        qint64 runs = 0;
        QElapsedTimer timer;
        timer.start();
        QBENCHMARK
        {
            const TrackPage page = decodeJson<TrackPage>(body);
            QCOMPARE(page.items.size(), count);
            ++runs;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        qInfo("%d tracks (%lld KiB of JSON): %.0f tracks per second", count, qint64(body.size() / 1024),
            double(count) * double(runs) / seconds);
    }

    // The longest stall of the event loop while an answer is fetched from a
    // loopback server and decoded: decoded where it arrives (as before), and
    // through the typed client (which hands a large body to a worker).
    void stallWhileDecoding_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("search, 90k-character texts") << u"/api/v1/search"_s << longTextSearch();
        QTest::newRow("catalogue page, long titles") << u"/api/v1/tracks"_s << longTextPage();
        QTest::newRow("catalogue page of 1000") << u"/api/v1/tracks"_s << briefTrackPage(1000);
        QTest::newRow("catalogue page of 50") << u"/api/v1/tracks"_s << briefTrackPage(50);
        QTest::newRow("catalogue page of 20") << u"/api/v1/tracks"_s << briefTrackPage(20);
    }

    void stallWhileDecoding()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        static const std::unique_ptr<test::FakeHttpServer> server = test::startFakeService();
        test::FakeResponse answer;
        answer.body = body;
        // In pieces of a megabyte, as a server sends a large answer.
        answer.pieceSize = 1 << 20;
        server->on(u"GET"_s, path, answer);
        const bool isSearch = path.endsWith(u"search"_s);
        const QMap<QString, QString> query = isSearch
            ? QMap<QString, QString> {{u"q"_s, u"x"_s}}
            : QMap<QString, QString> {{u"brief"_s, u"true"_s}, {u"page"_s, u"1"_s}, {u"size"_s, u"1000"_s}};
        const QString relative = path.mid(1);

        constexpr int kRuns = 5;
        double inlineWorst = 0;
        double clientWorst = 0;
        for (int run = 0; run < kRuns; ++run) {
            inlineWorst = std::max(inlineWorst, longestStall([&] {
                if (isSearch)
                    QCoro::waitFor(fetchAndDecodeInline<SearchResults>(relative, query));
                else
                    QCoro::waitFor(fetchAndDecodeInline<TrackPage>(relative, query));
            }));
            clientWorst = std::max(clientWorst, longestStall([&] {
                if (isSearch)
                    QVERIFY(!QCoro::waitFor(NimbraApi().search(u"x"_s, std::nullopt)).tracks.isEmpty());
                else
                    QVERIFY(!QCoro::waitFor(NimbraApi().tracks(1, 1000, true, std::nullopt)).items.isEmpty());
            }));
        }
        m_stalls.append(u"%1 %2 %3 %4"_s.arg(QString::fromUtf8(QTest::currentDataTag()), -30)
                            .arg(double(body.size()) / 1024, 10, 'f', 0)
                            .arg(inlineWorst, 14, 'f', 1)
                            .arg(clientWorst, 14, 'f', 1));
    }

    // The client's window over the local service, as a guest, the render
    // back-end the program picks, under Xvfb: each screen shown once, then,
    // five times, the service's answer replaced by one of 90,000-character
    // texts (which the decoder cuts) and the longest stall from the request
    // until its rows have been on screen for a second. Emoji cost far more
    // than letters: the colour font's glyphs are pictures that FreeType
    // decodes at every layout.
    void stallWhileShowing_data()
    {
        QTest::addColumn<SidebarItem>("section");
        QTest::addColumn<QString>("piece");
        const QString emoji = u"🎵 "_s;
        QTest::newRow("search: 30 albums, 30 tracks, words") << SidebarItem::Search << words;
        QTest::newRow("search: 30 albums, 30 tracks, emoji") << SidebarItem::Search << emoji;
        QTest::newRow("catalogue: a page of 50, words") << SidebarItem::Catalog << words;
        QTest::newRow("catalogue: a page of 50, emoji") << SidebarItem::Catalog << emoji;
    }

    void stallWhileShowing()
    {
        QFETCH(SidebarItem, section);
        QFETCH(QString, piece);
        if (!test::hasVideoDisplay())
            QSKIP("No X display and no xvfb-run.");
        test::DevServiceProcess service({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        AppContext::Environment environment;
        environment.secrets = std::make_shared<test::MemorySecretStore>();
        AppContext app(environment);
        QVERIFY(app.start());
        QQuickWindow *window = app.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        app.auth()->continueAsGuest();
        QTRY_VERIFY(test::findItem(window, u"mainView"_s));
        test::findItem(window, u"mainView"_s)
            ->findChild<MainNavigationModel *>(u"mainNavigation"_s)
            ->navigateToSidebar(section);

        const bool isSearch = section == SidebarItem::Search;
        const QString screenName = isSearch ? u"searchScreen"_s : u"catalogScreen"_s;
        QTRY_VERIFY(test::findItem(window, screenName));
        QQuickItem *screen = test::findItem(window, screenName);
        auto *search = screen->findChild<SearchModel *>(u"searchModel"_s);
        auto *catalog = screen->findChild<CatalogModel *>(u"catalogModel"_s);
        QVERIFY(isSearch ? search != nullptr : catalog != nullptr);
        // The local service's own rows first: the screen and its rows are
        // compiled before the clock runs.
        if (isSearch)
            search->setQuery(u"a"_s);
        QTRY_VERIFY_WITH_TIMEOUT(
            test::isShown(test::findItem(window, isSearch ? u"albumTitle"_s : u"trackTitle"_s)), 20000);
        QTest::qWait(1000);

        const QJsonObject longAnswer = isSearch ? longTextSearchObject(piece) : longTextCataloguePage(piece);
        const QString rowName = isSearch ? u"albumTitle"_s : u"trackTitle"_s;
        qint64 worst = 0;
        QList<qint64> stalls;
        for (int run = 0; run < 5; ++run) {
            if (isSearch) {
                search->setQuery(QString());
                QTRY_VERIFY(!test::findItem(window, rowName) || !test::isShown(test::findItem(window, rowName)));
            }
            QTest::qWait(500);
            QVERIFY(service.injectFault(QJsonObject {{"path"_L1, isSearch ? u"/api/v1/search"_s : u"/api/v1/tracks"_s},
                {"method"_L1, u"GET"_s}, {"status"_L1, 200}, {"body"_L1, longAnswer}, {"count"_L1, 1}}));
            StallWatch watch;
            watch.start();
            if (isSearch)
                search->setQuery(u"длинные %1"_s.arg(run));
            else
                catalog->reload();
            QTRY_VERIFY_WITH_TIMEOUT(longRowShown(window, rowName), 60000);
            QTest::qWait(1000);
            stalls.append(watch.stop());
            worst = std::max(worst, stalls.last());
        }
        QStringList each;
        for (qint64 stall : stalls)
            each.append(QString::number(stall));
        m_screenStalls.append(u"%1 %2 ms (runs: %3)"_s.arg(QString::fromUtf8(QTest::currentDataTag()), -40)
                                  .arg(worst)
                                  .arg(each.join(u", "_s)));
    }

    void cleanupTestCase()
    {
        if (!m_screenStalls.isEmpty()) {
            std::printf("\nLongest stall of the window while a screen shows 90,000-character texts, worst of 5 runs\n");
            for (const QString &line : m_screenStalls)
                std::printf("%s\n", qPrintable(line));
        }
        if (m_stalls.isEmpty())
            return;
        std::printf("\nLongest stall of the event loop, worst of 5 runs\n%-30s %10s %14s %14s\n", "answer", "KiB",
            "inline ms", "client ms");
        for (const QString &line : m_stalls)
            std::printf("%s\n", qPrintable(line));
    }

private:
    QStringList m_stalls;
    QStringList m_screenStalls;
};

int main(int argc, char **argv)
{
    test::runUnderXvfb(argc, argv);
    QGuiApplication app(argc, argv);
    RenderBackend::applyForThisMachine();
    BenchDecodeTracks bench;
    return QTest::qExec(&bench, argc, argv);
}
#include "bench_decodetracks.moc"
