// The artist page in the program's own window against the local service:
// the load error and "Повторить", the page with its latest release, the
// track list opened, an artist without a cover, a name the catalogue does
// not know; and one walk from the page through playing and an album and
// back. Fails on any QML warning and writes a picture of each state.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "artists/artistnavigationstore.h"
#include "player/playerstore.h"
#include "screens/artistpagemodel.h"
#include "screens/catalogmodel.h"
#include "update/otaservice.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "qmlwarnings.h"
#include "screentest.h"
#include "testenv.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestArtistScreens : public QObject
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

    ArtistPageModel *page() const
    {
        QQuickItem *view = item(u"artistPage"_s);
        return view ? view->findChild<ArtistPageModel *>(u"artistPageModel"_s) : nullptr;
    }

    void launchSignedIn()
    {
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        environment.audio = &m_audio;
        m_app = std::make_unique<AppContext>(environment);
        QVERIFY(m_app->start());
        QVERIFY(QTest::qWaitForWindowExposed(m_app->window()));
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
    }

    void open(const QString &name, int state)
    {
        m_app->artistNavigation()->open(name);
        QTRY_VERIFY(page());
        QTRY_COMPARE(page()->artistName(), name);
        QTRY_COMPARE(page()->loadStateValue(), state);
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        QVERIFY2(isShown(target), qPrintable(target->objectName()));
        test::click(m_app->window(), target);
    }

    void scrollTo(const QString &objectName)
    {
        QQuickItem *scroll = item(u"artistScroll"_s);
        QQuickItem *target = item(objectName);
        QVERIFY(scroll && target);
        const qreal y = target->mapToItem(scroll->property("contentItem").value<QQuickItem *>(), QPointF()).y();
        const qreal most = scroll->property("contentHeight").toReal() - scroll->height();
        scroll->setProperty("contentY", qBound(0.0, y - 60, std::max(0.0, most)));
    }

    void screenshot(const QString &name)
    {
        QTest::qWait(400); // covers arrive, animations end
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), name));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"400"_s, u"--albums"_s, u"24"_s});
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

    void everyStateOfThePage()
    {
        launchSignedIn();
        QVERIFY(m_service->injectFault(QJsonObject {{"path"_L1, u"/api/v1/tracks"_s}, {"status"_L1, 503},
            {"body"_L1, QJsonObject {{"detail"_L1, u"Сервис на обслуживании"_s}}}}));
        open(u"Лунный Свет"_s, LoadState::Failed);
        QCOMPARE(findItem(item(u"artistPage"_s), u"stateText"_s)->property("text").toString(),
            u"Сервис на обслуживании"_s);
        screenshot(u"artist-load-error"_s);
        m_service->clearFaults();

        click(findItem(item(u"artistPage"_s), u"stateRetry"_s));
        QTRY_COMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QVERIFY(isShown(item(u"mineMark"_s)));
        QVERIFY(isShown(item(u"latestRelease"_s)));
        QVERIFY(isShown(item(u"artistWave"_s)));
        QTRY_VERIFY(!isShown(item(u"avatarPlaceholder"_s))); // the cover arrived
        screenshot(u"artist-page-top"_s);

        scrollTo(u"allTracks"_s);
        click(item(u"tracksToggle"_s));
        QVERIFY(page()->tracksExpanded());
        QCOMPARE(item(u"artistTrackList"_s)->property("count").toInt(), page()->tracks()->count());
        screenshot(u"artist-tracks-open"_s);
        scrollTo(u"discography"_s);
        screenshot(u"artist-page-albums"_s);

        // From a warm catalogue another artist opens without loading.
        m_app->artistNavigation()->open(u"Пять Озёр"_s);
        QTRY_VERIFY(page() && page()->artistName() == u"Пять Озёр"_s);
        QCOMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QVERIFY(page()->coverUrl().isEmpty());
        QVERIFY(isShown(item(u"avatarPlaceholder"_s)));
        QVERIFY(!isShown(item(u"tracksToggle"_s)));
        screenshot(u"artist-no-cover"_s);

        // Only a guest on another's album: no discography, one album with them.
        open(u"Эхо Гость"_s, LoadState::Loaded);
        QVERIFY(!isShown(item(u"discography"_s)));
        QVERIFY(isShown(item(u"featAlbums"_s)));
        screenshot(u"artist-guest-only"_s);

        open(u"Нет Такого"_s, LoadState::Empty);
        QCOMPARE(findItem(item(u"artistPage"_s), u"stateText"_s)->property("text").toString(),
            u"«Нет Такого» нет в каталоге"_s);
        screenshot(u"artist-not-found"_s);
    }

    // From a credits line of the catalogue open an artist, play from the
    // header, open an album of the discography and come back to the page as
    // it was.
    void playAndVisitAnAlbum()
    {
        launchSignedIn();
        click(item(u"sidebarRow1"_s)); // "Каталог"
        QTRY_VERIFY(item(u"catalogScreen"_s));
        auto *catalog = item(u"catalogScreen"_s)->findChild<CatalogModel *>(u"catalogModel"_s);
        QVERIFY(catalog);
        const QString artist = u"Лунный Свет"_s;
        int row = -1;
        while (row < 0) {
            QTRY_VERIFY(!catalog->isFetching());
            for (int i = 0; i < catalog->count() && row < 0; ++i)
                row = catalog->trackAt(i).artist == artist ? i : -1;
            if (row < 0) {
                QVERIFY(catalog->hasMore());
                catalog->fetchMore({});
            }
        }
        QQuickItem *list = item(u"catalogList"_s);
        QQuickItem *delegate = nullptr;
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0));
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, delegate), Q_ARG(int, row));
        QVERIFY(delegate);
        click(findItem(delegate, u"artistName0"_s));
        QTRY_VERIFY(page());
        QTRY_COMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(page()->title(), artist);
        click(item(u"artistPlay"_s));
        QTRY_COMPARE(m_app->player()->currentTrack()->id, page()->page()->playQueue.first().id);

        // The share control copies the link and says so.
        QSignalSpy copied(page(), &ArtistPageModel::linkCopied);
        click(item(u"artistShare"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), page()->shareLink());
        QCOMPARE(copied.value(0).value(0).toString(), u"Ссылка скопирована"_s);
        QVERIFY(page()->shareLink().endsWith(u"#artist:%D0%9B%D1%83%D0%BD%D0%BD%D1%8B%D0%B9%20%D0%A1%D0%B2%D0%B5%D1%82"_s));
        QTRY_VERIFY(isShown(findItem(item(u"artistPage"_s), u"copiedToast"_s)));

        scrollTo(u"allTracks"_s);
        click(item(u"tracksToggle"_s));
        scrollTo(u"discography"_s);
        QQuickItem *grid = item(u"discographyGrid"_s);
        QVERIFY(grid);
        QQuickItem *tile = grid->property("contentItem").value<QQuickItem *>()->childItems().value(0);
        click(tile);
        QQuickItem *stack = item(u"artistStack"_s);
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        QTRY_VERIFY(!isShown(item(u"artistScroll"_s)));
        screenshot(u"artist-album-over-page"_s);

        QQuickItem *album = stack->property("currentItem").value<QQuickItem *>();
        click(findItem(album, u"backButton"_s));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QTRY_VERIFY(isShown(item(u"artistScroll"_s)));
        QVERIFY(page()->tracksExpanded());

        // "Назад" on the page itself closes it.
        click(findItem(item(u"artistBackBar"_s), u"backButton"_s));
        QTRY_VERIFY(m_app->artistNavigation()->presentedArtistName().isNull());
    }
};

QTEST_MAIN(TestArtistScreens)
#include "tst_artistscreens.moc"
