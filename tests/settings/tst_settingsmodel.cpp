// The settings screen's rules: the address save, the crossfade slider and
// its label, the update labels and the build's row.
#include "settings/settingsmodel.h"
#include "api/storeregistry.h"

#include "api/session.h"
#include "api/apiconfig.h"
#include "update/buildinfo.h"

#include "authsession.h"
#include "fakeaudiobackend.h"
#include "testenv.h"

#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestSettingsModel : public QObject
{
    Q_OBJECT

    static QString storedAddress() { return QSettings().value(QLatin1StringView(ApiConfig::settingsKey)).toString(); }

private slots:
    void initTestCase() { initTestEnvironment(); }
    void init() { clearSettings(); }

    void addressSave_data()
    {
        QTest::addColumn<QString>("before"); // stored before; empty: nothing
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<QString>("apiHost");
        QTest::addColumn<QString>("line"); // under the field after the save

        const QString plainHttp = SettingsModel::plainHttpRefusal();
        const QString notHttps = u"Адрес сервера должен начинаться с https://"_s;
        QTest::newRow("blanks and slashes") << QString() << u"  http://127.0.0.1:8080/api///  \n"_s
                                            << u"http://127.0.0.1:8080/api"_s << u"127.0.0.1"_s << QString();
        QTest::newRow("empty") << QString() << QString() << QString() << u"api.nimbra.app"_s << QString();
        QTest::newRow("blank") << QString() << u"  \t\n "_s << QString() << u"api.nimbra.app"_s << QString();
        // Refused, the address before staying in force.
        QTest::newRow("another scheme") << u"https://a.example.org"_s << u"ftp://192.0.2.1/api"_s
                                        << u"https://a.example.org"_s << u"a.example.org"_s << notHttps;
        QTest::newRow("a script") << QString() << u"javascript:alert(1)"_s << QString() << u"api.nimbra.app"_s
                                  << notHttps;
        QTest::newRow("a file") << QString() << u"file:///etc/passwd"_s << QString() << u"api.nimbra.app"_s << notHttps;
        QTest::newRow("a scheme read as http") << QString() << u"httpx://music.example.com"_s << QString()
                                               << u"api.nimbra.app"_s << notHttps;
        QTest::newRow("a host that does not parse") << QString() << u"https://bad host/api"_s << QString()
                                                    << u"api.nimbra.app"_s << u"Неверный адрес сервера"_s;
        // Plain http only for this machine; elsewhere the address before stays.
        QTest::newRow("http to this machine") << QString() << u"http://localhost:8080"_s
                                              << u"http://localhost:8080"_s << u"localhost"_s << QString();
        QTest::newRow("http over IPv6 loopback") << QString() << u"http://[::1]:8080"_s << u"http://[::1]:8080"_s
                                                 << u"::1"_s << QString();
        QTest::newRow("http to another machine") << u"https://a.example.org"_s << u"http://192.0.2.1"_s
                                                 << u"https://a.example.org"_s << u"a.example.org"_s << plainHttp;
        QTest::newRow("http to a loopback-looking name") << QString() << u"http://127.0.0.1.example.org"_s
                                                         << QString() << u"api.nimbra.app"_s << plainHttp;
        QTest::newRow("http to a name that begins with localhost")
            << QString() << u"http://localhost.example.com"_s << QString() << u"api.nimbra.app"_s << plainHttp;
        // One stored by an earlier build is not used, and says why.
        QTest::newRow("stored http elsewhere, nothing typed")
            << u"http://192.0.2.1"_s << QString() << u"http://192.0.2.1"_s << u"api.nimbra.app"_s << plainHttp;
        QTest::newRow("stored another scheme, nothing typed")
            << u"ftp://192.0.2.1"_s << QString() << u"ftp://192.0.2.1"_s << u"api.nimbra.app"_s << notHttps;
        QTest::newRow("stored http elsewhere, then https")
            << u"http://192.0.2.1"_s << u"https://b.example.org"_s << u"https://b.example.org"_s
            << u"b.example.org"_s << QString();
    }

    void addressSave()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, apiHost);
        QFETCH(QString, line);
        if (!before.isEmpty())
            ApiConfig::setBaseUrl(QUrl(before));
        AuthSession auth;
        auth.auth->continueAsGuest();
        StoreRegistry::set(auth.auth.get());

        SettingsModel model;
        const bool storedRefused = !before.isEmpty() && !before.startsWith("https:"_L1);
        QCOMPARE(model.baseUrlText(), storedRefused || before.isEmpty() ? u"https://api.nimbra.app"_s : before);
        QCOMPARE(model.addressError().isEmpty(), !storedRefused);
        model.setBaseUrlText(typed);
        model.saveAddress();
        QCOMPARE(storedAddress(), stored);
        QCOMPARE(model.baseUrlText(), typed);
        QCOMPARE(model.apiHost(), apiHost);
        QCOMPARE(model.addressError(), line);
        // A refused address leaves the visit as it was.
        QCOMPARE(auth.auth->isGuestMode(), !line.isEmpty() || stored.isEmpty() || stored == before);
        // Shown again, the field reads what is in use.
        model.reloadAddress();
        QCOMPARE(model.baseUrlText(), ApiConfig::baseUrl().toString());
    }

    // The command line's address holds for its run and is never stored; a
    // save in the settings takes over from it.
    void runAddressIsNotStored()
    {
        ApiConfig::setBaseUrl(QUrl(u"https://a.example.org"_s));
        ApiConfig::setRunBaseUrl(QUrl(u"http://127.0.0.1:9000/"_s));
        QCOMPARE(ApiConfig::baseUrl(), QUrl(u"http://127.0.0.1:9000"_s));
        QCOMPARE(ApiConfig::storedBaseUrl(), QUrl(u"https://a.example.org"_s));
        QCOMPARE(storedAddress(), u"https://a.example.org"_s);
        SettingsModel model;
        QCOMPARE(model.baseUrlText(), u"http://127.0.0.1:9000"_s);
        model.setBaseUrlText(u"https://b.example.org"_s);
        model.saveAddress();
        QCOMPARE(ApiConfig::baseUrl(), QUrl(u"https://b.example.org"_s));
    }

    void crossfade()
    {
        FakeAudioBackend audio;
        Session session;
        {
            PlayerStore player(&audio, &session);
            StoreRegistry::set(&player);
            SettingsModel model;
            model.setCrossfade(1);
            QCOMPARE(model.crossfadeLabel(), u"1 с"_s);
            QVERIFY(model.crossfadeLabelPrimary());
            model.setCrossfade(0);
            QCOMPARE(player.crossfadeDuration(), 0.0);
            QCOMPARE(model.crossfadeLabel(), u"Выкл"_s);
            QVERIFY(!model.crossfadeLabelPrimary());
        }
        // After a restart a stored 0 reads as 3 seconds, still off.
        PlayerStore player(&audio, &session);
        StoreRegistry::set(&player);
        SettingsModel model;
        QCOMPARE(model.crossfadeValue(), 3.0);
        QCOMPARE(model.crossfadeLabel(), u"3 с"_s);
        QVERIFY(!model.crossfadeLabelPrimary());
    }

    void labels_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("crossfade");
        QTest::addColumn<double>("progress");
        QTest::addColumn<QString>("download");

        QTest::newRow("zero") << 0.0 << u"Выкл"_s << 0.0 << u"Загрузка 0%…"_s;
        QTest::newRow("just below a whole") << 0.999 << u"Выкл"_s << 0.4299 << u"Загрузка 42%…"_s;
        QTest::newRow("truncated") << 2.9 << u"2 с"_s << 1.0 << u"Загрузка 100%…"_s;
        QTest::newRow("negative, unknown length") << -1.0 << u"Выкл"_s << -1.0 << u"Загрузка…"_s;
    }

    void labels()
    {
        QFETCH(double, seconds);
        QFETCH(double, progress);
        QFETCH(QString, crossfade);
        QFETCH(QString, download);
        QCOMPARE(SettingsModel::crossfadeLabelFor(seconds), crossfade);
        QCOMPARE(SettingsModel::downloadLabelFor(progress), download);
    }

    void offer()
    {
        OtaUpdateStore updates;
        StoreRegistry::set(&updates);
        SettingsModel model;
        QVERIFY(!model.hasOffer());
        OtaManifest manifest;
        manifest.versionCode = 99;
        updates.setAvailableManifest(manifest);
        QCOMPARE(model.offeredVersion(), u"Новая"_s);
        QCOMPARE(model.releaseNotes(), QString());
        QCOMPARE(model.downloadLabel(), u"Скачать и установить"_s);
        manifest.versionName = u"2.0"_s;
        updates.setAvailableManifest(manifest);
        QCOMPARE(model.offeredVersion(), u"2.0"_s);
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("line");
        QTest::newRow("both") << u"0.3.1"_s << u"27"_s << u"0.3.1 (27)"_s;
        QTest::newRow("no version") << QString() << u"27"_s << u"1.0 (27)"_s;
        QTest::newRow("neither") << QString() << QString() << u"1.0 (1)"_s;
    }

    void versionLine()
    {
        QFETCH(QString, version);
        QFETCH(QString, build);
        QFETCH(QString, line);
        QCOMPARE(BuildInfo::versionLine(version, build), line);
    }
};

QTEST_GUILESS_MAIN(TestSettingsModel)
#include "tst_settingsmodel.moc"
