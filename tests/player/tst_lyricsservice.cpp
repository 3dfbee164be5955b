#include "fakehttpserver.h"
#include "testenv.h"

#include "player/lyricsservice.h"

#include <QCoroTask>
#include <QSettings>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)
Q_DECLARE_METATYPE(nimbra::LrclibRecord)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

using Items = QList<QPair<QString, QString>>;

QByteArray record(
    const QString &synced, const QString &plain = QString(), double duration = 200, bool instrumental = false)
{
    QJsonObject o {{u"instrumental"_s, instrumental}, {u"duration"_s, duration}};
    if (!synced.isNull())
        o.insert(u"syncedLyrics"_s, synced);
    if (!plain.isNull())
        o.insert(u"plainLyrics"_s, plain);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray list(const QList<QByteArray> &records)
{
    return '[' + QByteArrayList(records).join(',') + ']';
}

LrclibRecord candidate(std::optional<double> duration, std::optional<QString> synced, std::optional<QString> plain,
    bool instrumental = false)
{
    return LrclibRecord {duration, instrumental, std::move(plain), std::move(synced)};
}

} // namespace

class TestLyricsService : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_host;
    std::unique_ptr<LyricsService> m_service;

    std::optional<QString> lookUp(
        const QString &id, const QString &title, const QString &artist, qint64 duration, CancelToken token = {})
    {
        return QCoro::waitFor(m_service->getLyrics(id, title, artist, duration, token));
    }

    QStringList paths() const
    {
        QStringList out;
        for (const RecordedRequest &r : m_host->requests())
            out.append(r.method + QLatin1Char(' ') + r.path);
        return out;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        // One host for the whole run: stopping one with open connections
        // takes about a second.
        m_host = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), m_host->baseUrl().toString());
        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {404, "{}"});
        m_host->on(u"GET"_s, u"/api/search"_s, FakeResponse {200, "[]"});
        m_host->clearRequests();
        m_service = std::make_unique<LyricsService>();
    }

    void cleanup() { m_service.reset(); }

    void cleanupTestCase() { m_host.reset(); }

    void hostComesFromTheSettings()
    {
        QCOMPARE(LyricsService::baseURL(), m_host->baseUrl());
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), u"ftp://elsewhere"_s);
        QCOMPARE(LyricsService::baseURL(), QUrl(u"https://lrclib.net"_s));
    }

    void queryKeysAndOrder()
    {
        // Every step finds nothing, so all three requests are made.
        QCOMPARE(lookUp(u"1"_s, u" \tAC+DC & Co=1\t "_s, u"  Band\t"_s, 205), std::nullopt);
        QCOMPARE(paths(), QStringList({u"GET /api/get"_s, u"GET /api/search"_s, u"GET /api/search"_s}));
        const auto requests = m_host->requests();
        QCOMPARE(requests.at(0).queryItems,
            Items({{u"artist_name"_s, u"Band"_s}, {u"track_name"_s, u"AC+DC & Co=1"_s}, {u"duration"_s, u"205"_s}}));
        QCOMPARE(
            requests.at(1).queryItems, Items({{u"track_name"_s, u"AC+DC & Co=1"_s}, {u"artist_name"_s, u"Band"_s}}));
        QCOMPARE(requests.at(2).queryItems, Items({{u"track_name"_s, u"AC+DC & Co=1"_s}}));
        // A bare "+" would reach the service as a space.
        QVERIFY(requests.at(0).rawQuery.contains("AC%2BDC"_L1));
        QVERIFY(!requests.at(0).hasHeader(u"Authorization"_s));
    }

    void durationOnlyFromOneSecond_data()
    {
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<bool>("sent");
        QTest::newRow("zero") << qint64(0) << false;
        QTest::newRow("one") << qint64(1) << true;
    }

    void durationOnlyFromOneSecond()
    {
        QFETCH(qint64, duration);
        QFETCH(bool, sent);
        lookUp(u"1"_s, u"Song"_s, u"Band"_s, duration);
        const auto items = m_host->requests().first().queryItems;
        QCOMPARE(items.size(), sent ? 3 : 2);
        if (sent)
            QCOMPARE(items.last(), qMakePair(u"duration"_s, QString::number(duration)));
    }

    void blankArtistGoesStraightToTheTitleSearch()
    {
        m_host->on(u"GET"_s, u"/api/search"_s, FakeResponse {200, list({record(u"[00:01.00]hi"_s)})});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u" \t "_s, 200), std::optional<QString>(u"[00:01.00]hi"_s));
        QCOMPARE(paths(), QStringList({u"GET /api/search"_s}));
        QCOMPARE(m_host->lastRequest().queryItems, Items({{u"track_name"_s, u"Song"_s}}));
    }

    void blankTitleAsksNothingAndIsAMiss()
    {
        QCOMPARE(lookUp(u"1"_s, u" \t"_s, u"Band"_s, 200), std::nullopt);
        QCOMPARE(m_host->requestCount(), 0);
    }

    void exactAnswerEndsTheLookup()
    {
        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {200, record(QString(), u"plain words"_s)});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::optional<QString>(u"plain words"_s));
        QCOMPARE(m_host->requestCount(), 1);
    }

    void unusableAnswersFallThrough_data()
    {
        QTest::addColumn<FakeResponse>("get");
        QTest::newRow("instrumental") << FakeResponse {200, record(u"[00:01.00]x"_s, QString(), 200, true)};
        QTest::newRow("blank lyrics") << FakeResponse {200, record(u" \n "_s, u"\t"_s)};
        QTest::newRow("not JSON") << FakeResponse {200, "<html>", "text/html"};
    }

    void unusableAnswersFallThrough()
    {
        QFETCH(FakeResponse, get);
        m_host->on(u"GET"_s, u"/api/get"_s, get);
        m_host->on(u"GET"_s, u"/api/search"_s, FakeResponse {200, list({record(u"[00:02.00]found"_s)})});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::optional<QString>(u"[00:02.00]found"_s));
        QCOMPARE(paths(), QStringList({u"GET /api/get"_s, u"GET /api/search"_s}));
    }

    void unusableArtistResultsEndTheLookup()
    {
        // Records that are all unusable are still records: no title search.
        m_host->on(u"GET"_s, u"/api/search"_s, FakeResponse {200, list({record(u"x"_s, QString(), 200, true)})});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::nullopt);
        QCOMPARE(m_host->requestCount(), 2);
    }

    void oneBadRecordFailsTheList()
    {
        m_host->on(u"GET"_s, u"/api/search"_s, [](const RecordedRequest &r) {
            const bool byArtist = r.queryItems.size() == 2;
            return FakeResponse {200,
                byArtist ? list({record(u"x"_s), R"({"plainLyrics":"no flag"})"})
                         : list({record(QString(), u"by title"_s)})};
        });
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::optional<QString>(u"by title"_s));
        QCOMPARE(m_host->requestCount(), 3);
    }

    void answersAndMissesAreRemembered()
    {
        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {200, record(u"[00:01.00]a"_s)});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::optional<QString>(u"[00:01.00]a"_s));
        QCOMPARE(lookUp(u"1"_s, u"Other"_s, u"Else"_s, 1), std::optional<QString>(u"[00:01.00]a"_s));
        QCOMPARE(m_host->requestCount(), 1);

        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {404, "{}"});
        QCOMPARE(lookUp(u"2"_s, u"Song"_s, u"Band"_s, 200), std::nullopt);
        const int asked = m_host->requestCount();
        QCOMPARE(lookUp(u"2"_s, u"Song"_s, u"Band"_s, 200), std::nullopt);
        QCOMPARE(m_host->requestCount(), asked);
    }

    void cancelledLookupIsNoMiss()
    {
        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {200, record(u"[00:01.00]a"_s), "application/json", 200});
        CancelToken token;
        auto task = m_service->getLyrics(u"1"_s, u"Song"_s, u"Band"_s, 200, token);
        token.cancel();
        QCOMPARE(QCoro::waitFor(task), std::nullopt);
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u"Band"_s, 200), std::optional<QString>(u"[00:01.00]a"_s));
    }

    void pickBest_data()
    {
        QTest::addColumn<QList<LrclibRecord>>("records");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<QString>("expected"); // null: nothing

        QTest::newRow("synced beats closer plain")
            << QList {candidate(200, std::nullopt, u"plain"_s), candidate(260, u"synced"_s, std::nullopt)}
            << qint64(205) << u"synced"_s;
        QTest::newRow("equal scores: the first")
            << QList {candidate(190, u"first"_s, std::nullopt), candidate(210, u"second"_s, std::nullopt)}
            << qint64(200) << u"first"_s;
        QTest::newRow("no duration given: first synced")
            << QList {candidate(10, std::nullopt, u"plain"_s), candidate(999, u"synced"_s, std::nullopt)} << qint64(0)
            << u"synced"_s;
        QTest::newRow("record without duration counts as exact")
            << QList {candidate(201, u"close"_s, std::nullopt), candidate(std::nullopt, u"unknown"_s, std::nullopt)}
            << qint64(200) << u"unknown"_s;
        QTest::newRow("blank synced falls back to plain, untrimmed")
            << QList {candidate(200, u" \n"_s, u" words \n"_s)} << qint64(200) << u" words \n"_s;
        QTest::newRow("instrumental and blank skipped")
            << QList {candidate(200, u"x"_s, std::nullopt, true), candidate(200, u"  "_s, std::nullopt)} << qint64(200)
            << QString();
    }

    void pickBest()
    {
        QFETCH(QList<LrclibRecord>, records);
        QFETCH(qint64, duration);
        QFETCH(QString, expected);
        const auto best = LyricsService::pickBest(records, duration);
        QCOMPARE(best.value_or(QString()), expected);
        QCOMPARE(best.has_value(), !expected.isNull());
    }
};

QTEST_GUILESS_MAIN(TestLyricsService)
#include "tst_lyricsservice.moc"
