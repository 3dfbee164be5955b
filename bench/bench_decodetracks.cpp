// Decoding speed of catalogue pages, and how long the window's event loop
// stands still while the typed client decodes a large answer of the service:
//
//   build/bench/bench_decodetracks                    both
//   build/bench/bench_decodetracks stallWhileDecoding the stalls, with the table
#include "api/apiclient.h"
#include "api/catalogrecords.h"
#include "api/nimbraapi.h"

#include "fakehttpserver.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
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

// A search answer whose every title and credit runs to about 90,000
// characters (180 KB of UTF-8 each), 21 MB in all, under the body limit.
QByteArray longTextSearch()
{
    const QString longText = u"Очень длинное название "_s.repeated(90'000 / 23);
    QJsonArray tracks;
    QJsonArray albums;
    for (int i = 0; i < 30; ++i) {
        TrackOut t;
        t.id = u"trk-%1"_s.arg(i);
        t.title = longText + QString::number(i);
        t.artist = longText;
        t.durationSeconds = 200;
        t.fileUrl = u"media/%1.mp3"_s.arg(t.id);
        tracks.append(t.toJson());
        AlbumOut a;
        a.id = u"alb-%1"_s.arg(i);
        a.title = longText;
        a.artist = longText;
        albums.append(a.toJson());
    }
    return QJsonDocument(QJsonObject {{"tracks"_L1, tracks}, {"albums"_L1, albums}}).toJson(QJsonDocument::Compact);
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
        static const std::unique_ptr<test::FakeHttpServer> server = [] {
            test::initTestEnvironment();
            return test::startFakeService();
        }();
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

    void cleanupTestCase()
    {
        if (m_stalls.isEmpty())
            return;
        std::printf("\nLongest stall of the event loop, worst of 5 runs\n%-30s %10s %14s %14s\n", "answer", "KiB",
            "inline ms", "client ms");
        for (const QString &line : m_stalls)
            std::printf("%s\n", qPrintable(line));
    }

private:
    QStringList m_stalls;
};

QTEST_GUILESS_MAIN(BenchDecodeTracks)
#include "bench_decodetracks.moc"
