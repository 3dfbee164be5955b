// The update manifest: the document's rules, the fetch's request and every
// failure with its text, and the running build's number.
#include "api/error.h"
#include "update/buildinfo.h"
#include "update/otaerror.h"
#include "update/otaservice.h"

#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString manifestPath = u"/updates/pc/linux/linux-update.json"_s;

// The manifest's failure text, or the manifest as "code|name|url|notes".
QString readManifest(const QByteArray &body)
{
    try {
        const OtaManifest m = OtaManifest::fromJson(body);
        return u"%1|%2|%3|%4"_s.arg(m.versionCode)
            .arg(m.versionName.value_or(u"<none>"_s), m.downloadUrl, m.releaseNotes.value_or(u"<none>"_s));
    } catch (const OtaError &error) {
        return error.description();
    }
}

} // namespace

class TestOtaService : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
    }

    void cleanupTestCase() { m_server.reset(); }

    void init()
    {
        m_server->clearRequests();
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_server->baseUrl().toString());
    }

    void document_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QString missingCode = u"В манифесте отсутствует versionCode"_s;
        const QString missingUrl = u"В манифесте нет ссылки на загрузку"_s;
        const QString notJson = u"Ответ сервера не является JSON"_s;
        QTest::newRow("number") << QByteArray(R"({"versionCode":42,"url":"u"})") << u"42|<none>|u|<none>"_s;
        QTest::newRow("text") << QByteArray(R"({"versionCode":"42","url":"u"})") << u"42|<none>|u|<none>"_s;
        QTest::newRow("plus text") << QByteArray(R"({"versionCode":"+42","url":"u"})") << u"42|<none>|u|<none>"_s;
        QTest::newRow("leading zeros") << QByteArray(R"({"versionCode":"0012","url":"u"})") << u"12|<none>|u|<none>"_s;
        QTest::newRow("decimal text") << QByteArray(R"({"versionCode":"42.0","url":"u"})") << missingCode;
        QTest::newRow("exponent text") << QByteArray(R"({"versionCode":"4e1","url":"u"})") << missingCode;
        QTest::newRow("empty text") << QByteArray(R"({"versionCode":"","url":"u"})") << missingCode;
        QTest::newRow("blank first") << QByteArray(R"({"versionCode":" 42","url":"u"})") << missingCode;
        QTest::newRow("fraction") << QByteArray(R"({"versionCode":42.5,"url":"u"})") << missingCode;
        QTest::newRow("past 64 bits") << QByteArray(R"({"versionCode":"9223372036854775808","url":"u"})")
                                      << missingCode;
        QTest::newRow("code before url") << QByteArray(R"({"x":1})") << missingCode;
        QTest::newRow("empty dmgUrl") << QByteArray(R"({"versionCode":1,"dmgUrl":"","downloadUrl":"d","url":"u"})")
                                      << u"1|<none>|d|<none>"_s;
        QTest::newRow("number dmgUrl") << QByteArray(R"({"versionCode":1,"dmgUrl":5,"url":"u"})")
                                       << u"1|<none>|u|<none>"_s;
        QTest::newRow("no address") << QByteArray(R"({"versionCode":1,"dmgUrl":"","downloadUrl":3,"url":null})")
                                    << missingUrl;
        QTest::newRow("optional texts")
            << QByteArray(R"({"versionCode":1,"url":"u","versionName":"2.0","releaseNotes":"a\nb"})")
            << u"1|2.0|u|a\nb"_s;
        QTest::newRow("number name, empty notes")
            << QByteArray(R"({"versionCode":1,"url":"u","versionName":2,"releaseNotes":""})") << u"1|<none>|u|"_s;
        QTest::newRow("array") << QByteArray(R"([{"versionCode":1,"url":"u"}])") << notJson;
        QTest::newRow("not json") << QByteArray("<html>") << notJson;
        QTest::newRow("empty") << QByteArray() << notJson;
    }

    void document()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QCOMPARE(readManifest(body), expected);
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected"); // -999 for none
        QTest::newRow("plain") << u"27"_s << qint64(27);
        QTest::newRow("minus") << u"-3"_s << qint64(-3);
        QTest::newRow("version") << u"1.2.3"_s << qint64(-999);
        QTest::newRow("blank inside") << u"2 7"_s << qint64(-999);
        QTest::newRow("empty") << QString() << qint64(-999);
    }

    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(BuildInfo::parseWholeNumber(text).value_or(-999), expected);
    }

    void fetchSendsOnlyTheUserAgent()
    {
        m_server->on(u"GET"_s, manifestPath,
            FakeResponse {200, R"({"versionCode":"28","downloadUrl":"https:\/\/h/p.AppImage","versionName":"1.5"})"});
        const auto outcome = outcomeOf(OtaService::fetchManifest());
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->versionCode, 28);
        QCOMPARE(outcome.value->versionName, u"1.5"_s);
        QCOMPARE(m_server->requestCount(), 1);
        const RecordedRequest request = m_server->lastRequest();
        QCOMPARE(request.method, u"GET"_s);
        QCOMPARE(request.target, manifestPath);
        QCOMPARE(request.header(u"User-Agent"_s),
            u"Nimbras-Linux/%1 (%2)"_s.arg(BuildInfo::version(), BuildInfo::build()));
        QVERIFY(!request.hasHeader(u"Authorization"_s));
        QCOMPARE(OtaService::userAgent(u"1.4"_s, u"27"_s), u"Nimbras-Linux/1.4 (27)"_s);
    }

    void fetchFailures_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qsizetype>("cutAfter");
        QTest::newRow("404") << 404 << QByteArray(R"({"versionCode":1,"url":"u"})")
                             << u"Манифест недоступен (HTTP 404)"_s << qsizetype(-1);
        QTest::newRow("500") << 500 << QByteArray("oops") << u"Манифест недоступен (HTTP 500)"_s << qsizetype(-1);
        QTest::newRow("not json") << 200 << QByteArray("oops") << u"Ответ сервера не является JSON"_s << qsizetype(-1);
        QTest::newRow("cut after the headers") << 200 << QByteArray(R"({"versionCode":1,"url":"u"})")
                                               << u"Соединение с сервером прервано"_s << qsizetype(0);
    }

    void fetchFailures()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QFETCH(qsizetype, cutAfter);
        FakeResponse response {status, body};
        response.cutAfter = cutAfter;
        m_server->on(u"GET"_s, manifestPath, response);
        const auto outcome = outcomeOf(OtaService::fetchManifest());
        QVERIFY(!outcome.value);
        QCOMPARE(describeException(outcome.error), expected);
    }

    void refusedAddressesAreNotRequested_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("http on a foreign host") << u"http://example.org"_s;
        QTest::newRow("ftp") << u"ftp://127.0.0.1"_s;
        QTest::newRow("no host") << u"https://"_s;
    }

    void refusedAddressesAreNotRequested()
    {
        QFETCH(QString, host);
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), host);
        const auto outcome = outcomeOf(OtaService::fetchManifest());
        QCOMPARE(describeException(outcome.error), u"Неверный URL манифеста"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void redirectToAForeignHttpHostIsRefused()
    {
        m_server->on(u"GET"_s, manifestPath,
            FakeResponse {302, {}, "text/plain", false, {{"Location", "http://example.org/m.json"}}});
        const auto outcome = outcomeOf(OtaService::fetchManifest());
        QCOMPARE(describeException(outcome.error), u"Неверный URL манифеста"_s);

        // One that stays on an allowed host is followed.
        m_server->on(
            u"GET"_s, manifestPath, FakeResponse {302, {}, "text/plain", false, {{"Location", "/moved.json"}}});
        m_server->on(u"GET"_s, u"/moved.json"_s, FakeResponse {200, R"({"versionCode":3,"url":"u"})"});
        QCOMPARE(outcomeOf(OtaService::fetchManifest()).value->versionCode, 3);
    }

    void builtInAddress()
    {
        QSettings().remove(QLatin1StringView(OtaService::settingsKey));
        const QUrl url = OtaService::manifestUrl();
        QCOMPARE(url.scheme(), u"https"_s);
        QCOMPARE(url.path(), manifestPath);
        QVERIFY(OtaService::isAllowedAddress(QUrl(u"http://localhost:8080/x"_s)));
        QVERIFY(OtaService::isAllowedAddress(QUrl(u"http://[::1]:8080/x"_s)));
        QVERIFY(!OtaService::isAllowedAddress(QUrl(u"http://127.0.0.1.example.org/x"_s)));
    }

    void transportFailureIsThrown()
    {
        QUrl closed;
        {
            FakeHttpServer gone;
            closed = gone.baseUrl();
        }
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), closed.toString());
        const auto outcome = outcomeOf(OtaService::fetchManifest());
        QVERIFY(!outcome.value);
        QCOMPARE(describeException(outcome.error), u"Не удалось подключиться к серверу"_s);
    }
};

QTEST_GUILESS_MAIN(TestOtaService)
#include "tst_otaservice.moc"
