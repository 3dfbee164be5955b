#include "api/apiconfig.h"
#include "testenv.h"

#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

void store(const QString &text)
{
    QSettings().setValue(QLatin1StringView(ApiConfig::settingsKey), text);
}

QString stored()
{
    return QSettings().value(QLatin1StringView(ApiConfig::settingsKey)).toString();
}

} // namespace

class TestApiConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::initTestEnvironment(); }
    void init() { test::clearSettings(); }

    void storedTextIsUsedOnlyWhenUsable()
    {
        const QUrl fallback = ApiConfig::defaultBaseUrl();
        QCOMPARE(fallback.scheme(), u"https"_s);
        QCOMPARE(ApiConfig::baseUrl(), fallback);
        // A scheme that begins with "http" in small letters, and a host.
        for (const QString &text :
            {u"http://127.0.0.1:8080"_s, u"https://music.example.com/nimbra"_s, u"httpx://music.example.com"_s}) {
            store(text);
            QCOMPARE(ApiConfig::baseUrl().toString(), text);
        }
        for (const QString &text :
            {u"ftp://music.example.com"_s, u"HTTP://music.example.com"_s, u"music.example.com/api"_s,
                u"http://music example.com"_s, u"http://music.example.com:99999"_s, QString()}) {
            store(text);
            QCOMPARE(ApiConfig::baseUrl(), fallback);
        }
    }

    void writeDropsTrailingSlashes()
    {
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:8080/api///"_s));
        QCOMPARE(stored(), u"http://127.0.0.1:8080/api"_s);
        ApiConfig::setBaseUrl(QUrl(u"https://music.example.com/ \n"_s));
        QCOMPARE(stored(), u"https://music.example.com"_s);
        // Not checked on the way in; the next read falls back to the default.
        ApiConfig::setBaseUrl(QUrl(u"ftp://files.example.com/"_s));
        QCOMPARE(stored(), u"ftp://files.example.com"_s);
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("base"); // empty: nothing stored
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");

        const QString defaultRoot = ApiConfig::defaultBaseUrl().toString();
        QTest::newRow("absolute https unchanged")
            << u"http://127.0.0.1:8080"_s << u"https://cdn.example.com/a/b.flac?sig=x#t"_s
            << u"https://cdn.example.com/a/b.flac?sig=x#t"_s;
        QTest::newRow("relative without slash")
            << u"http://127.0.0.1:8080"_s << u"media/t1.mp3"_s << u"http://127.0.0.1:8080/media/t1.mp3"_s;
        QTest::newRow("relative with slash")
            << u"http://127.0.0.1:8080"_s << u"/media/t1.mp3"_s << u"http://127.0.0.1:8080/media/t1.mp3"_s;
        QTest::newRow("default base") << QString() << u"covers/a.png"_s << defaultRoot + u"/covers/a.png"_s;
        QTest::newRow("empty text gives the host root")
            << u"http://127.0.0.1:8080"_s << QString() << u"http://127.0.0.1:8080/"_s;
        QTest::newRow("two slashes name another host")
            << u"https://music.example.com"_s << u"//other.example.org/x.png"_s << u"https://other.example.org/x.png"_s;
        QTest::newRow("base path left out of media")
            << u"http://127.0.0.1:8080/prefix/v2"_s << u"media/t1.mp3"_s << u"http://127.0.0.1:8080/media/t1.mp3"_s;
        QTest::newRow("query kept") << u"http://127.0.0.1:8080/prefix"_s << u"media/t1.mp3?token=a%2Fb"_s
                                    << u"http://127.0.0.1:8080/media/t1.mp3?token=a%2Fb"_s;
        QTest::newRow("dot segments removed") << u"http://127.0.0.1:8080/prefix"_s << u"media/../covers/c.png"_s
                                              << u"http://127.0.0.1:8080/covers/c.png"_s;
    }

    void resolve()
    {
        QFETCH(QString, base);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        if (!base.isEmpty())
            store(base);
        const std::optional<QUrl> resolved = ApiConfig::resolve(path);
        QVERIFY(resolved);
        QCOMPARE(resolved->toString(QUrl::FullyEncoded), expected);
    }

    void resolveRefusesUnparsableAbsoluteText()
    {
        QVERIFY(!ApiConfig::resolve(u"http://bad host/a.mp3"_s));
        QVERIFY(!ApiConfig::resolve(u"https://[::1/a.mp3"_s));
    }
};

QTEST_GUILESS_MAIN(TestApiConfig)
#include "tst_apiconfig.moc"
