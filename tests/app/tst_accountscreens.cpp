// The profile and settings screens in the running program against the local
// service: one walk through each, with the pictures a reviewer looks at
// (build/screenshots/account-*.png).
#include "account/authstore.h"
#include "player/playerstore.h"
#include "update/buildinfo.h"
#include "update/otaupdatestore.h"

#include "apprig.h"
#include "authsession.h"
#include "eventloop.h"
#include "qmlscene.h"

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

const QString kManifest = u"/updates/pc/linux/linux-update.json"_s;

} // namespace

class TestAccountScreens : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    QString text(const QString &objectName) const
    {
        QQuickItem *found = m_rig.item(objectName);
        return found ? found->property("text").toString() : u"<missing %1>"_s.arg(objectName);
    }

    qreal sceneY(const QString &objectName) const
    {
        QQuickItem *found = m_rig.item(objectName);
        return found ? found->mapToScene(QPointF()).y() : -1;
    }

    // Clears the field and types the text.
    void retype(const QString &objectName, const QString &value)
    {
        QQuickItem *field = m_rig.item(objectName);
        QVERIFY(field);
        QVERIFY(typeText(m_rig.window(), field, QString()));
        QTest::keyClick(m_rig.window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_rig.window(), Qt::Key_Backspace);
        QVERIFY(typeText(m_rig.window(), field, value));
        QCOMPARE(field->property("text").toString(), value);
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}); }
    void cleanup() { m_rig.finishTest(); }
    void cleanupTestCase() { m_rig.stopService(); }

    // The demo user's profile, a rejected and an accepted save, the pills
    // wrapping in a narrow column, and "Выйти".
    void profileOfTheDemoUser()
    {
        m_rig.launchSignedIn();
        m_rig.click(m_rig.item(u"sidebarRow8"_s));
        QTRY_COMPARE(text(u"profileUsername"_s), u"demo"_s);
        QVERIFY(isShown(m_rig.item(u"badgesCard"_s)));
        QVERIFY(!isShown(m_rig.item(u"profileGate"_s)));
        QCOMPARE(text(u"profileEmailField"_s), u"demo@nimbra.local"_s);
        m_rig.screenshot(u"account-profile"_s);

        retype(u"profileEmailField"_s, u"demo@nimbra"_s);
        const qreal saveAt = sceneY(u"profileSave"_s);
        m_rig.click(m_rig.item(u"profileSave"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"profileError"_s)));
        QCOMPARE(text(u"profileError"_s), u"Некорректный адрес электронной почты"_s);
        QCOMPARE(text(u"profileEmailField"_s), u"demo@nimbra"_s);
        QCOMPARE(m_rig.app()->auth()->user()->email, std::optional(u"demo@nimbra.local"_s));
        m_rig.screenshot(u"account-profile-save-error"_s);
        // Laid out anew for the picture: a second press at the same spot
        // still lands on the button.
        QCOMPARE(sceneY(u"profileSave"_s), saveAt);

        retype(u"profileEmailField"_s, u"demo@nimbra.app"_s);
        m_rig.click(m_rig.item(u"profileSave"_s));
        QTRY_COMPARE(text(u"profileSaved"_s), u"Профиль сохранён"_s);
        QVERIFY(!isShown(m_rig.item(u"profileError"_s)));
        QCOMPARE(m_rig.app()->auth()->user()->email, std::optional(u"demo@nimbra.app"_s));

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
            // The photo's canvas paints on the next frame.
            QSignalSpy framed(narrow.window(), &QQuickWindow::frameSwapped);
            narrow.window()->update();
            QVERIFY(framed.wait(nimbra::test::kEventLimitMs));
            QVERIFY(saveScreenshot(narrow.grab(), u"account-profile-narrow"_s));

            // Scrolled to its end, the cards go under the title, not over it:
            // the scroll view's own flickable clips (shorter, so that they
            // pass the title's whole height).
            narrow.window()->resize(300, 480);
            narrow.root()->setHeight(480);
            QQuickItem *scroll = narrow.item(u"profileContent"_s);
            const QRect aboveScroll(0, 0, narrow.window()->width(), int(scroll->y()));
            const QImage titleStrip = narrow.grab().copy(aboveScroll);
            auto *flickable = scroll->property("contentItem").value<QQuickItem *>();
            const qreal end = flickable->property("contentHeight").toReal() - flickable->height();
            QVERIFY(end > aboveScroll.height());
            flickable->setProperty("contentY", end);
            const QImage scrolled = narrow.grab();
            QCOMPARE(scrolled.copy(aboveScroll), titleStrip);
            QVERIFY(saveScreenshot(scrolled, u"account-profile-scrolled"_s));
        }

        m_rig.click(m_rig.item(u"profileSignOut"_s));
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QVERIFY(!m_rig.app()->auth()->hasToken());

        // An administrator without a photo: the letter on the gradient.
        m_rig.app()->auth()->login(u"admin"_s, u"admin12345"_s);
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        m_rig.click(m_rig.item(u"sidebarRow8"_s));
        QTRY_COMPARE(text(u"profileUsername"_s), u"admin"_s);
        QVERIFY(!m_rig.item(u"profileScreenPhoto"_s)->property("ready").toBool());
        m_rig.screenshot(u"account-profile-admin"_s);
    }

    // A guest sees the prompt on the profile, and the guest rows in the
    // settings, whose button goes back to the sign-in screen without a request.
    void guest()
    {
        QVERIFY(m_rig.launch());
        QTRY_VERIFY(m_rig.item(u"guestButton"_s));
        m_rig.click(m_rig.item(u"guestButton"_s));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        m_rig.click(m_rig.item(u"sidebarRow8"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"profileGate"_s)));
        QVERIFY(!isShown(m_rig.item(u"profileContent"_s)));
        m_rig.screenshot(u"account-profile-guest"_s);

        m_rig.click(m_rig.item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"leaveGuestMode"_s)));
        QVERIFY(!isShown(m_rig.item(u"settingsSignOut"_s)));
        m_rig.screenshot(u"account-settings-guest"_s);
        // What the home page and the covers asked for may still be on its
        // way; only the service's operations tell what the button did.
        QVERIFY(waitUntilIdle());
        m_rig.service()->clearRequests();
        m_rig.click(m_rig.item(u"leaveGuestMode"_s));
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QVERIFY(!m_rig.app()->auth()->isGuestMode());
        QStringList operations;
        for (const RecordedRequest &request : m_rig.service()->requests()) {
            if (request.path.startsWith(u"/api/"_s))
                operations << request.method + u' ' + request.target;
        }
        QVERIFY2(operations.isEmpty(), qPrintable(operations.join(u", "_s)));
    }

    // Signed in: the account rows, the build's rows, the crossfade slider,
    // a check that runs and an offered update.
    void settingsSignedIn()
    {
        m_rig.launchSignedIn();
        m_rig.click(m_rig.item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"settingsSignOut"_s)));
        QCOMPARE(m_rig.item(u"versionRow"_s)->property("value").toString(), BuildInfo::versionLine());
        QCOMPARE(m_rig.item(u"apiHostRow"_s)->property("value").toString(), u"127.0.0.1"_s);
        QCOMPARE(text(u"baseUrlField"_s), m_rig.service()->baseUrl().toString());

        // A press at the slider's start turns crossfade off.
        QQuickItem *slider = m_rig.item(u"crossfadeSlider"_s);
        QVERIFY(slider);
        const QPointF start = slider->mapToScene(QPointF(2, slider->height() / 2));
        QTest::mouseClick(m_rig.window(), Qt::LeftButton, {}, start.toPoint());
        QTRY_COMPARE(text(u"crossfadeLabel"_s), u"Выкл"_s);
        QVERIFY(!m_rig.app()->player()->crossfadeEnabled());
        m_rig.screenshot(u"account-settings"_s);

        // A refused address says why, and leaves the button where it was.
        const QString address = text(u"baseUrlField"_s);
        const qreal saveAt = sceneY(u"saveAddress"_s);
        retype(u"baseUrlField"_s, u"ftp://example.org"_s);
        m_rig.click(m_rig.item(u"saveAddress"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"addressError"_s)));
        m_rig.screenshot(u"account-settings-address-refused"_s);
        QCOMPARE(sceneY(u"saveAddress"_s), saveAt);
        retype(u"baseUrlField"_s, address);
        m_rig.click(m_rig.item(u"saveAddress"_s));
        QTRY_VERIFY(!isShown(m_rig.item(u"addressError"_s)));

        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, kManifest}, {u"hold"_s, true}, {u"count"_s, 1}}));
        m_rig.click(m_rig.item(u"checkUpdates"_s));
        QTRY_VERIFY(m_rig.app()->updates()->isChecking());
        QCOMPARE(text(u"checkUpdates"_s), u"Проверка…"_s);
        QVERIFY(!m_rig.item(u"checkUpdates"_s)->isEnabled());
        m_rig.screenshot(u"account-settings-checking"_s);
        QVERIFY(m_rig.service()->releaseHeld() >= 0);
        QTRY_VERIFY(!m_rig.app()->updates()->isChecking());

        OtaManifest manifest;
        manifest.versionCode = 99;
        manifest.versionName = u"2.0.0"_s;
        manifest.releaseNotes = u"Новый экран профиля\nКроссфейд без щелчков"_s;
        manifest.downloadUrl = m_rig.service()->baseUrl().toString() + u"/updates/pc/linux/Nimbras-Setup.AppImage"_s;
        m_rig.app()->updates()->setAvailableManifest(manifest);
        QTRY_VERIFY(isShown(m_rig.item(u"downloadUpdate"_s)));
        QCOMPARE(m_rig.item(u"offeredVersion"_s)->property("value").toString(), u"2.0.0"_s);
        QVERIFY(!isShown(m_rig.item(u"checkUpdates"_s)));
        m_rig.screenshot(u"account-settings-update-offered"_s);
    }
};

QTEST_MAIN(TestAccountScreens)
#include "tst_accountscreens.moc"
