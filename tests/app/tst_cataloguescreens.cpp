// The track catalogue and the search screen in the program's own window,
// over its real stores and the local service: the catalogue scrolled past
// its second page, a track played from it with the loaded list as the
// queue, search with albums and tracks and with nothing found, and a guest's
// heart bringing the sign-in alert. Fails on any QML warning; writes a
// picture of each for review.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "artists/artistnavigationstore.h"
#include "player/playerstore.h"
#include "screens/catalogmodel.h"
#include "screens/mainnavigationmodel.h"
#include "screens/searchmodel.h"
#include "screens/sidebaritem.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "qmlwarnings.h"
#include "screentest.h"
#include "testenv.h"

#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestCatalogueScreens : public QObject
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

    template<typename Model> Model *model(const QString &screen, const QString &name) const
    {
        QQuickItem *root = item(screen);
        return root ? root->findChild<Model *>(name) : nullptr;
    }

    void open(SidebarItem section)
    {
        QQuickItem *main = item(u"mainView"_s);
        QVERIFY(main);
        auto *navigation = main->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        QVERIFY(navigation);
        navigation->navigateToSidebar(section);
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

    // The delegate of a list's row, made on demand.
    QQuickItem *rowOf(QQuickItem *list, int row)
    {
        QQuickItem *delegate = nullptr;
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0 /* Beginning */));
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, delegate), Q_ARG(int, row));
        return delegate;
    }

    void screenshot(const QString &name)
    {
        // Covers load before the picture is taken.
        QTest::qWait(400);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), name));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"400"_s, u"--albums"_s, u"40"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        APIConfig::setBaseURL(m_service->baseUrl());
        m_warnings = std::make_unique<QmlWarnings>();
    }

    void cleanup()
    {
        m_app.reset();
        const QStringList warnings = m_warnings->take();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void cleanupTestCase() { m_service.reset(); }

    void catalogueScrollsPagesAndPlaysWithTheLoadedQueue()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
        open(SidebarItem::Catalog);
        QTRY_VERIFY(item(u"catalogList"_s));
        auto *catalog = model<CatalogModel>(u"catalogScreen"_s, u"catalogModel"_s);
        QVERIFY(catalog);
        QTRY_COMPARE(catalog->count(), CatalogModel::pageSize);
        // The first screenful asks for no second page.
        QTest::qWait(200);
        QCOMPARE(catalog->count(), CatalogModel::pageSize);

        // Scrolling to the end brings the next page.
        QQuickItem *list = item(u"catalogList"_s);
        // Scrolling down as a listener does brings the next pages as the
        // end nears, one request at a time.
        for (int step = 0; step < 200 && catalog->count() < 3 * CatalogModel::pageSize; ++step) {
            list->setProperty("contentY", list->property("contentY").toReal() + 300);
            QTest::qWait(20);
            QVERIFY(catalog->count() % CatalogModel::pageSize == 0);
        }
        QTRY_VERIFY(!catalog->isFetching());
        QVERIFY(catalog->count() >= 3 * CatalogModel::pageSize);
        QCOMPARE(item(u"catalogCount"_s)->property("text").toString(), u"%1 треков"_s.arg(catalog->count()));
        QVERIFY(rowOf(list, 120));
        screenshot(u"catalog-scrolled"_s);

        // The third row plays with every loaded track as the queue.
        QQuickItem *third = rowOf(list, 2);
        QVERIFY(third);
        QVERIFY(click(m_app->window(), findItem(third, u"trackPlay"_s)));
        PlayerStore *player = m_app->player();
        QTRY_VERIFY(player->currentTrack());
        QCOMPARE(player->currentTrack()->id, catalog->trackAt(2).id);
        QCOMPARE(player->queueModel()->count(), catalog->count());
        QCOMPARE(player->queueModel()->trackAt(149).id, catalog->trackAt(149).id);
        QTRY_VERIFY(third->property("isCurrent").toBool());
        screenshot(u"catalog-playing"_s);

        // Each artist of a row's credit opens that artist's page.
        QQuickItem *name = findItem(third, u"artistName0"_s);
        QVERIFY(name);
        const QString artist = name->property("name").toString();
        QVERIFY(click(m_app->window(), name));
        QTRY_COMPARE(m_app->artistNavigation()->presentedArtistName(), artist);
    }

    void searchShowsAlbumsAndTracksOrNothing()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
        open(SidebarItem::Search);
        QTRY_VERIFY(item(u"searchField"_s));
        auto *search = model<SearchModel>(u"searchScreen"_s, u"searchModel"_s);
        QVERIFY(search);
        QCOMPARE(search->content(), SearchModel::Prompt);
        screenshot(u"search-prompt"_s);

        QVERIFY(typeText(m_app->window(), item(u"searchField"_s), u"Nova"_s));
        QTRY_COMPARE(search->content(), SearchModel::Results);
        QVERIFY(search->albums()->count() > 0);
        QVERIFY(search->tracks()->count() > 0);
        QTRY_VERIFY(isShown(item(u"albumsSection"_s)));
        QQuickItem *results = item(u"searchResults"_s);
        // The list starts at its top: the albums' section shows first.
        QTRY_VERIFY(results->property("originY").toReal() < 0);
        QTRY_COMPARE(results->property("contentY").toReal(), results->property("originY").toReal());
        screenshot(u"search-results"_s);

        QQuickItem *field = item(u"searchField"_s);
        field->setProperty("text", u"zzqxw"_s);
        QVERIFY(click(m_app->window(), item(u"searchSubmit"_s)));
        QTRY_COMPARE(search->content(), SearchModel::NothingFound);
        QTRY_COMPARE(item(u"stateTitle"_s)->property("text").toString(), u"Ничего не найдено"_s);
        screenshot(u"search-nothing"_s);
    }

    void guestHeartAsksToSignIn()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"guestButton"_s));
        QVERIFY(click(m_app->window(), item(u"guestButton"_s)));
        QTRY_VERIFY(item(u"mainView"_s));
        open(SidebarItem::Catalog);
        QTRY_VERIFY(item(u"catalogList"_s));
        auto *catalog = model<CatalogModel>(u"catalogScreen"_s, u"catalogModel"_s);
        QTRY_VERIFY(catalog && catalog->count() > 0);
        m_service->clearRequests();
        QQuickItem *first = rowOf(item(u"catalogList"_s), 0);
        QVERIFY(click(m_app->window(), findItem(first, u"trackFavorite"_s)));
        QTRY_VERIFY(isShown(item(u"signInOk"_s)));
        QCOMPARE(item(u"signInMessage"_s)->property("text").toString(),
            u"Войдите в аккаунт, чтобы добавлять треки в избранное."_s);
        screenshot(u"catalog-guest-signin"_s);
        // Nothing was sent, and OK closes the alert for good.
        for (const RecordedRequest &request : m_service->requests())
            QVERIFY2(!request.path.contains(u"favorites"), qPrintable(request.path));
        QVERIFY(click(m_app->window(), item(u"signInOk"_s)));
        QTRY_VERIFY(!isShown(item(u"signInOk"_s)));
        QCOMPARE(catalog->signInPrompt(), QString());
    }
};

QTEST_MAIN(TestCatalogueScreens)
#include "tst_cataloguescreens.moc"
