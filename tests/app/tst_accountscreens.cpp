// The profile and settings screens in the running program against the local
// service: one walk through each, with the pictures a reviewer looks at
// (build/screenshots/account-*.png).
#include "appcontext.h"
#include "account/authstore.h"
#include "api/apiconfig.h"
#include "player/playerstore.h"
#include "update/buildinfo.h"
#include "update/otaservice.h"
#include "update/otaupdatestore.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "qmlscene.h"
#include "qmlwarnings.h"
#include "screentest.h"
#include "testenv.h"

#include <QJsonObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kProfile = u"/api/v1/auth/profile"_s;
const QString kManifest = u"/updates/pc/linux/linux-update.json"_s;

} // namespace

class TestAccountScreens : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    std::unique_ptr<QmlWarnings> m_warnings;
    FakeAudioBackend m_audio;
    std::unique_ptr<AppContext> m_app;

    QQuickItem *item(const QString &objectName) const
    {
        return m_app && m_app->window() ? findItem(m_app->window(), objectName) : nullptr;
    }

    QString text(const QString &objectName) const
    {
        QQuickItem *found = item(objectName);
        return found ? found->property("text").toString() : u"<missing %1>"_s.arg(objectName);
    }

    bool launch()
    {
        m_app.reset();
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        environment.audio = &m_audio;
        m_app = std::make_unique<AppContext>(environment);
        return m_app->start() && QTest::qWaitForWindowExposed(m_app->window());
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        QVERIFY2(isShown(target), qPrintable(target->objectName()));
        test::click(m_app->window(), target);
    }

    void screenshot(const QString &name)
    {
        QTest::qWait(400); // transitions end
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), name));
    }

    void signInAsDemo()
    {
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
    }

    // Clears the field and types the text.
    void retype(const QString &objectName, const QString &value)
    {
        QQuickItem *field = item(objectName);
        QVERIFY(field);
        QVERIFY(typeText(m_app->window(), field, QString()));
        QTest::keyClick(m_app->window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_app->window(), Qt::Key_Backspace);
        QVERIFY(typeText(m_app->window(), field, value));
        QCOMPARE(field->property("text").toString(), value);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        APIConfig::setBaseURL(m_service->baseUrl());
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_service->baseUrl().toString());
        m_warnings = std::make_unique<QmlWarnings>();
    }

    void cleanup()
    {
        m_app.reset();
        m_service->clearFaults();
        const QStringList warnings = m_warnings->take();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void cleanupTestCase() { m_service.reset(); }

    // The demo user's profile, a rejected and an accepted save, the pills
    // wrapping in a narrow column, and "Выйти".
    void profileOfTheDemoUser()
    {
        QVERIFY(launch());
        signInAsDemo();
        click(item(u"sidebarRow8"_s));
        QTRY_COMPARE(text(u"profileUsername"_s), u"demo"_s);
        QVERIFY(isShown(item(u"badgesCard"_s)));
        QVERIFY(!isShown(item(u"profileGate"_s)));
        QCOMPARE(text(u"profileEmailField"_s), u"demo@nimbra.local"_s);
        screenshot(u"account-profile"_s);

        retype(u"profileEmailField"_s, u"demo@nimbra"_s);
        click(item(u"profileSave"_s));
        QTRY_VERIFY(isShown(item(u"profileError"_s)));
        QCOMPARE(text(u"profileError"_s), u"Некорректный адрес электронной почты"_s);
        QCOMPARE(text(u"profileEmailField"_s), u"demo@nimbra"_s);
        QCOMPARE(m_app->auth()->user()->email, std::optional(u"demo@nimbra.local"_s));
        screenshot(u"account-profile-save-error"_s);

        retype(u"profileEmailField"_s, u"demo@nimbra.app"_s);
        click(item(u"profileSave"_s));
        QTRY_COMPARE(text(u"profileSaved"_s), u"Профиль сохранён"_s);
        QVERIFY(!isShown(item(u"profileError"_s)));
        QCOMPARE(m_app->auth()->user()->email, std::optional(u"demo@nimbra.app"_s));

        // The window does not get narrower than 900: the screen alone shows
        // how the pills wrap in a narrow column.
        {
            QQmlEngine engine;
            engine.addImportPath(u"qrc:/qt/qml"_s);
            QmlScene narrow(engine, "import Nimbra\nProfileView { width: 300; height: 760 }\n", QSize(300, 760));
            QVERIFY2(narrow.ok(), qPrintable(narrow.errors()));
            QQuickItem *pills = narrow.item(u"profileBadges"_s);
            QVERIFY(pills);
            QTRY_VERIFY(pills->childItems().size() >= 3);
            QTRY_VERIFY(pills->height() > 2 * pills->childItems().at(0)->height());
            QTRY_VERIFY(narrow.item(u"profileScreenPhoto"_s)->property("ready").toBool());
            QTest::qWait(300); // the photo's canvas paints on the next frame
            QVERIFY(saveScreenshot(narrow.grab(), u"account-profile-narrow"_s));
        }

        click(item(u"profileSignOut"_s));
        QTRY_VERIFY(item(u"loginView"_s));
        QVERIFY(!m_app->auth()->hasToken());

        // An administrator without a photo: the letter on the gradient.
        m_app->auth()->login(u"admin"_s, u"admin12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
        click(item(u"sidebarRow8"_s));
        QTRY_COMPARE(text(u"profileUsername"_s), u"admin"_s);
        QVERIFY(!item(u"profileScreenPhoto"_s)->property("ready").toBool());
        screenshot(u"account-profile-admin"_s);
    }

    // A guest sees the prompt on the profile, and the guest rows in the
    // settings, whose button goes back to the sign-in screen without a request.
    void guest()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"guestButton"_s));
        click(item(u"guestButton"_s));
        QTRY_VERIFY(item(u"mainView"_s));
        click(item(u"sidebarRow8"_s));
        QTRY_VERIFY(isShown(item(u"profileGate"_s)));
        QVERIFY(!isShown(item(u"profileContent"_s)));
        screenshot(u"account-profile-guest"_s);

        click(item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(item(u"leaveGuestMode"_s)));
        QVERIFY(!isShown(item(u"settingsSignOut"_s)));
        screenshot(u"account-settings-guest"_s);
        m_service->clearRequests();
        click(item(u"leaveGuestMode"_s));
        QTRY_VERIFY(item(u"loginView"_s));
        QVERIFY(!m_app->auth()->isGuestMode());
        QCOMPARE(m_service->requests().size(), 0);
    }

    // Signed in: the account rows, the build's rows, the crossfade slider,
    // a check that runs and an offered update.
    void settingsSignedIn()
    {
        QVERIFY(launch());
        signInAsDemo();
        click(item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(item(u"settingsSignOut"_s)));
        QCOMPARE(item(u"versionRow"_s)->property("value").toString(), BuildInfo::versionLine());
        QCOMPARE(item(u"apiHostRow"_s)->property("value").toString(), u"127.0.0.1"_s);
        QCOMPARE(text(u"baseUrlField"_s), m_service->baseUrl().toString());

        // A press at the slider's start turns crossfade off.
        QQuickItem *slider = item(u"crossfadeSlider"_s);
        QVERIFY(slider);
        const QPointF start = slider->mapToScene(QPointF(2, slider->height() / 2));
        QTest::mouseClick(m_app->window(), Qt::LeftButton, {}, start.toPoint());
        QTRY_COMPARE(text(u"crossfadeLabel"_s), u"Выкл"_s);
        QVERIFY(!m_app->player()->crossfadeEnabled());
        screenshot(u"account-settings"_s);

        QVERIFY(m_service->injectFault(QJsonObject {{u"path"_s, kManifest}, {u"delay_ms"_s, 1500}, {u"count"_s, 1}}));
        click(item(u"checkUpdates"_s));
        QTRY_VERIFY(m_app->updates()->isChecking());
        QCOMPARE(text(u"checkUpdates"_s), u"Проверка…"_s);
        QVERIFY(!item(u"checkUpdates"_s)->isEnabled());
        screenshot(u"account-settings-checking"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!m_app->updates()->isChecking(), 10000);

        OtaManifest manifest;
        manifest.versionCode = 99;
        manifest.versionName = u"2.0.0"_s;
        manifest.releaseNotes = u"Новый экран профиля\nКроссфейд без щелчков"_s;
        manifest.downloadURL = m_service->baseUrl().toString() + u"/updates/pc/linux/Nimbras-Setup.AppImage"_s;
        m_app->updates()->setAvailableManifest(manifest);
        QTRY_VERIFY(isShown(item(u"downloadUpdate"_s)));
        QCOMPARE(item(u"offeredVersion"_s)->property("value").toString(), u"2.0.0"_s);
        QVERIFY(!isShown(item(u"checkUpdates"_s)));
        screenshot(u"account-settings-update-offered"_s);
    }
};

QTEST_MAIN(TestAccountScreens)
#include "tst_accountscreens.moc"
