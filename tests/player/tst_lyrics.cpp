// The lyrics lookup against a loopback stand-in of the lyrics service, and
// the parser of the texts it finds.
#include "fakehttpserver.h"
#include "testenv.h"

#include "player/lyricsservice.h"

#include <QCoroTask>
#include <QSettings>
#include <QtTest>

#include "player/parsedlyrics.h"
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

// "time|text" per line, time "-" for none.
QStringList describe(const ParsedLyrics &parsed)
{
    QStringList out;
    for (const LyricsLine &line : parsed.lines) {
        const QString time = line.time ? QString::number(*line.time, 'f', 3) : u"-"_s;
        out.append(time + QLatin1Char('|') + line.text);
    }
    return out;
}

} // namespace

class TestLyrics : public QObject
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
        QCOMPARE(LyricsService::baseUrl(), m_host->baseUrl());
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), u"ftp://elsewhere"_s);
        QCOMPARE(LyricsService::baseUrl(), QUrl(u"https://lrclib.net"_s));
    }

    void queryKeysOrderAndDuration()
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

        // The duration goes along only from one second.
        m_host->clearRequests();
        lookUp(u"3"_s, u"Song"_s, u"Band"_s, 0);
        QCOMPARE(m_host->requests().first().queryItems.size(), 2);
        m_host->clearRequests();
        lookUp(u"2"_s, u"Song"_s, u"Band"_s, 1);
        QCOMPARE(m_host->requests().first().queryItems.last(), qMakePair(u"duration"_s, u"1"_s));
    }

    void blankArtistOrTitle()
    {
        m_host->on(u"GET"_s, u"/api/search"_s, FakeResponse {200, list({record(u"[00:01.00]hi"_s)})});
        QCOMPARE(lookUp(u"1"_s, u"Song"_s, u" \t "_s, 200), std::optional<QString>(u"[00:01.00]hi"_s));
        QCOMPARE(paths(), QStringList({u"GET /api/search"_s}));
        QCOMPARE(m_host->lastRequest().queryItems, Items({{u"track_name"_s, u"Song"_s}}));

        // A blank title asks nothing and is a miss.
        m_host->clearRequests();
        QCOMPARE(lookUp(u"2"_s, u" \t"_s, u"Band"_s, 200), std::nullopt);
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
        m_host->on(u"GET"_s, u"/api/get"_s, FakeResponse {200, record(u"[00:01.00]a"_s)});
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

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isLrc");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("colon before the fraction") << u"[1:02:03]x"_s << true << QStringList {u"62.030|x"_s};
        QTest::newRow("fraction padding") << u"[00:01.5]a\n[00:02.05]b\n[00:03.123]c\n[00:04,7]d"_s << true
                                          << QStringList {u"1.500|a"_s, u"2.050|b"_s, u"3.123|c"_s, u"4.700|d"_s};
        QTest::newRow("only the first stamp counts")
            << u"[00:12.00][00:45.00]Hi"_s << true << QStringList {u"12.000|[00:45.00]Hi"_s};
        QTest::newRow("text trimmed of spaces and tabs, empty kept")
            << u"[00:01.00] \tla la \t\n[00:02.00]"_s << true << QStringList {u"1.000|la la"_s, u"2.000|"_s};
        QTest::newRow("sorted by time, ties in row order")
            << u"[00:09.00]late\n[00:03.00]first\n[00:03.00]second"_s << true
            << QStringList {u"3.000|first"_s, u"3.000|second"_s, u"9.000|late"_s};
        QTest::newRow("untagged rows dropped when some are tagged")
            << u"[ar:Someone]\nintro\n[00:05.00]one\n\n[00:06.00]two"_s << true
            << QStringList {u"5.000|one"_s, u"6.000|two"_s};
        QTest::newRow("stamps that do not match")
            << u"[00:12.3456]x\n[100:00.00]x\n[0:5.00]x"_s << false
            << QStringList {u"-|[00:12.3456]x"_s, u"-|[100:00.00]x"_s, u"-|[0:5.00]x"_s};
        QTest::newRow("plain rows unchanged, trailing empty row kept")
            << u"  a\nb\n"_s << false << QStringList {u"-|  a"_s, u"-|b"_s, u"-|"_s};
        QTest::newRow("CRLF rows are rows")
            << u"[00:01.00]one\r\n[00:02.00]two\r\n"_s << true << QStringList {u"1.000|one"_s, u"2.000|two"_s};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, isLrc);
        QFETCH(QStringList, lines);
        const ParsedLyrics parsed = ParsedLyrics::parse(text);
        QCOMPARE(parsed.isLrc, isLrc);
        QCOMPARE(describe(parsed), lines);
        for (int i = 0; i < parsed.lines.size(); ++i)
            QCOMPARE(parsed.lines.at(i).id, i);
    }

    void activeIndexAndSeekTime()
    {
        // Before the first line, between lines, on equal stamps (the later
        // line), after the last line, not a number, infinite.
        const auto synced = ParsedLyrics::parse(u"[00:03.00]a\n[00:05.00]b\n[00:05.00]c\n[00:08.00]d"_s);
        for (const auto &[time, index] :
            {std::pair {1.0, 0}, {4.5, 0}, {5.0, 2}, {999.0, 3}, {qQNaN(), 0}, {qInf(), 3}})
            QCOMPARE(synced.activeIndex(time, 200), index);
        // Plain lines spread evenly over the duration.
        const auto plain = ParsedLyrics::parse(u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9"_s);
        QCOMPARE(plain.activeIndex(35, 200), 1);
        QCOMPARE(plain.activeIndex(250, 200), 9);
        QCOMPARE(plain.activeIndex(35, 0), 0);
        QCOMPARE(plain.activeIndex(qQNaN(), 200), 0);
        QCOMPARE(plain.activeIndex(1e300, 1e-300), 9); // far too large for an int
        QCOMPARE(plain.seekTime(5, 200), std::optional<double>(100.0));
        QCOMPARE(plain.seekTime(5, 0), std::nullopt);
        QCOMPARE(plain.seekTime(10, 200), std::nullopt);
        QCOMPARE(plain.seekTime(-1, 200), std::nullopt);

        QCOMPARE(ParsedLyrics::parse(u"[00:03.00]a\n[01:05.25]b"_s).seekTime(1, 0), std::optional<double>(65.25));

        // A trailing empty row counts in the even spread.
        const auto trailing = ParsedLyrics::parse(u"a\nb\n"_s);
        QCOMPARE(trailing.seekTime(2, 300), std::optional<double>(200.0));
        QCOMPARE(trailing.activeIndex(250, 300), 2);

        QCOMPARE(ParsedLyrics().activeIndex(10, 100), 0);
    }
};

QTEST_GUILESS_MAIN(TestLyrics)
#include "tst_lyrics.moc"
