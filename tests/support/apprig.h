#pragma once

// Header only: the support library does not link the program itself, only
// the tests under tests/app do.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"
#include "update/otaservice.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "scenerig.h"
#include "screentest.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace nimbra::test {

// The program's own window over the local service, as the end-to-end screen
// tests drive it: the service started with the given catalogue size, the
// program pointed at it (its update feed too), every QML warning collected,
// and the program started afresh for each test with a secret store in
// memory and a silent audio back-end.
class AppRig
{
public:
    // Call from initTestCase; withUpdates points the update feed at the
    // service too.
    void startService(const QStringList &arguments, bool withUpdates = true)
    {
        m_scene.start();
        m_service = std::make_unique<DevServiceProcess>(arguments);
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
        if (withUpdates)
            QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_service->baseUrl().toString());
    }

    // Call from cleanup: closes the program and fails on any warning it
    // left while closing. A warning during the test itself has failed it
    // already (see launch).
    void finishTest(bool clearFaults = true)
    {
        m_app.reset();
        if (clearFaults && m_service)
            m_service->clearFaults();
        m_scene.finishTest();
    }

    // Call from cleanupTestCase.
    void stopService() { m_service.reset(); }

    DevServiceProcess *service() const { return m_service.get(); }
    AppContext *app() const { return m_app.get(); }
    FakeAudioBackend &audio() { return m_audio; }
    QQuickWindow *window() const { return m_app ? m_app->window() : nullptr; }

    // A fresh program with its window on screen; a secret store in memory
    // and the silent audio back-end unless the environment brings its own.
    bool launch(AppContext::Environment environment = {})
    {
        m_app.reset();
        // Every QML warning or script error of the program fails the test
        // that is running, whether or not the test remembers to look.
        failOnQmlWarnings();
        if (const QStringList earlier = m_scene.takeWarnings(); !earlier.isEmpty()) {
            qCritical("warnings left by an earlier test: %s", qPrintable(earlier.join(u'\n')));
            return false;
        }
        if (!environment.secrets)
            environment.secrets = std::make_shared<MemorySecretStore>();
        if (!environment.audio)
            environment.audio = &m_audio;
        m_app = std::make_unique<AppContext>(environment);
        return m_app->start() && waitUntilActive(m_app->window());
    }

    void close() { m_app.reset(); }

    void signIn(const QString &username, const QString &password)
    {
        QTRY_VERIFY(item(QStringLiteral("loginView")));
        m_app->auth()->login(username, password);
        QTRY_VERIFY(item(QStringLiteral("mainView")));
    }

    void signInAsDemo() { signIn(QStringLiteral("demo"), QStringLiteral("demo12345")); }

    void launchSignedIn()
    {
        QVERIFY(launch());
        signInAsDemo();
    }

    QQuickItem *item(const QString &objectName) const
    {
        return window() ? findItem(window(), objectName) : nullptr;
    }

    QString textOf(QQuickItem *found) const { return found ? found->property("text").toString() : QString(); }

    // Every shown item of that name, in tree order.
    QList<QQuickItem *> shownItems(const QString &objectName) const
    {
        QList<QQuickItem *> found;
        QList<QQuickItem *> queue {window()->contentItem()};
        while (!queue.isEmpty()) {
            QQuickItem *next = queue.takeFirst();
            if (next->objectName() == objectName && isShown(next))
                found.append(next);
            queue.append(next->childItems());
        }
        return found;
    }

    // The delegate that shows a list's row, laid out as the list shows it
    // now: after rows came and went the item tree is in no row order.
    QQuickItem *rowItem(QQuickItem *list, int row) const
    {
        if (!list)
            return nullptr;
        constexpr int contain = 4; // ListView.Contain: scrolls only when needed
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, contain));
        list->ensurePolished();
        QQuickItem *found = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, found), Q_ARG(int, row));
        return found;
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        const QString name = target->objectName();
        QVERIFY2(isShown(target), qPrintable(name));
        QVERIFY2(test::click(window(), target), qPrintable(name + QStringLiteral(" went, or never stood still")));
    }

    void openSection(SidebarItem section)
    {
        QQuickItem *main = item(QStringLiteral("mainView"));
        QVERIFY(main);
        auto *nav = main->findChild<MainNavigationModel *>(QStringLiteral("mainNavigation"));
        QVERIFY(nav);
        nav->navigateToSidebar(section);
    }

    // True once every shown cover of that name under root has its picture
    // (the service draws each one on first request).
    static bool coversLoaded(QQuickItem *root, const QString &name)
    {
        QList<QQuickItem *> pending {root};
        while (!pending.isEmpty()) {
            QQuickItem *next = pending.takeFirst();
            if (next->objectName() == name && next->isVisible() && !next->property("loaded").toBool()
                && !next->property("source").toUrl().isEmpty())
                return false;
            pending.append(next->childItems());
        }
        return true;
    }

    // Waits for covers and transitions to settle, then saves the window. A
    // picture is for a reviewer: one taken early is said, not failed.
    void screenshot(const QString &name)
    {
        if (!waitUntilSettled(window()))
            qInfo("%s taken before the screen settled", qPrintable(name));
        QVERIFY(saveScreenshot(window()->grabWindow(), name));
    }

private:
    std::unique_ptr<DevServiceProcess> m_service;
    SceneRig m_scene;
    FakeAudioBackend m_audio;
    std::unique_ptr<AppContext> m_app;
};

} // namespace nimbra::test
