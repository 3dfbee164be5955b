// What a heart or a dislike that goes wrong shows, list by list: without an
// account the "Нужен вход" alert and no request; signed in, a refused
// request is a failure and never a sign-in prompt. The catalogue, the album
// page and the search show the store's text in place of their rows; the
// players and the other lists show it in the alert under "Ошибка".
#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"
#include "catalogue/albumdetailmodel.h"
#include "catalogue/catalogmodel.h"
#include "catalogue/searchmodel.h"
#include "tracks/trackactions.h"

#include "fakehttpserver.h"
#include "manualclock.h"
#include "playerrig.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString favoritesRefusal = u"База избранного недоступна"_s;
const QString ratingsRefusal = u"Оценки временно не принимаются"_s;

FakeResponse refused(const QString &detail)
{
    return {503, QByteArray(R"({"detail": ")") + detail.toUtf8() + "\"}"};
}

// The two actions that need an account, each through its own store: the
// slot (a list's takes a row, the players' none), the prompt without an
// account in a list and in the players, the store's refusal and the
// path it is sent to.
void actions()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("playerPrompt");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("path");
    QTest::newRow("favourite") << QByteArray("toggleFavorite") << QString::fromUtf8(TrackActions::listFavoritePrompt)
                               << QString::fromUtf8(TrackActions::favoritePrompt) << favoritesRefusal
                               << u"/api/v1/favorites"_s;
    QTest::newRow("dislike") << QByteArray("toggleDislike") << QString::fromUtf8(TrackActions::dislikePrompt)
                             << QString::fromUtf8(TrackActions::dislikePrompt) << ratingsRefusal << u"/api/v1/rate"_s;
}

QCoro::Task<TrackPage> onePage()
{
    TrackPage page;
    page.page = 1;
    page.pages = 1;
    page.items = makeTracks({u"a"_s, u"b"_s});
    co_return page;
}

QCoro::Task<SearchResults> foundTracks()
{
    SearchResults results;
    results.tracks = makeTracks({u"a"_s, u"b"_s});
    co_return results;
}

QCoro::Task<QList<TrackOut>> albumTracks()
{
    co_return makeTracks({u"a"_s, u"b"_s});
}

} // namespace

class TestFavoriteFailures : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    // The store graph of one test: a player, a session that starts as a
    // guest, and the favourites and ratings stores the actions go through.
    struct Rig
    {
        PlayerRig player;
        FavoritesStore favorites {&player.session};
        RatingsStore ratings {&player.session};
        TrackStores stores() { return {player.store.get(), &favorites, &ratings, &player.session}; }
        void signIn()
        {
            player.session.setToken(u"tok"_s);
            player.session.setHasUser(true);
        }
    };

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, refused(favoritesRefusal));
        m_server->on(u"POST"_s, u"/api/v1/rate"_s, refused(ratingsRefusal));
    }

    void init() { m_server->clearRequests(); }

    void catalogueShowsTheFailureInPlaceOfItsRows_data() { actions(); }
    void catalogueShowsTheFailureInPlaceOfItsRows()
    {
        Rig rig;
        CatalogModel catalog([](int, CancelToken) { return onePage(); }, rig.stores());
        catalog.reload();
        QTRY_COMPARE(catalog.loadState().state, LoadState::Loaded);

        QFETCH(QByteArray, action);
        QFETCH(QString, prompt);
        QFETCH(QString, refusal);
        QFETCH(QString, path);
        const TrackOut before = catalog.trackAt(1);

        QVERIFY(QMetaObject::invokeMethod(&catalog, action, Q_ARG(int, 1)));
        QCOMPARE(catalog.signInPrompt(), prompt);
        QCOMPARE(catalog.promptTitle(), u"Нужен вход"_s);
        QCOMPARE(m_server->requestCount(), 0);
        catalog.setSignInPrompt(QString());

        rig.signIn();
        QSignalSpy texts(&catalog, &TrackListModel::errorTextChanged);
        QVERIFY(QMetaObject::invokeMethod(&catalog, action, Q_ARG(int, 1)));
        QTRY_COMPARE(catalog.loadState().state, LoadState::Failed);
        QCOMPARE(catalog.errorText(), refusal);
        QCOMPARE(texts.count(), 1);
        QCOMPARE(catalog.signInPrompt(), QString());
        QCOMPARE(m_server->requestsTo(path), 1);
        // The rows stay behind the error and the track keeps its state.
        QCOMPARE(catalog.count(), 2);
        QCOMPARE(catalog.trackAt(1), before);
        // Shown anew, the catalogue starts over without the old failure.
        catalog.reload();
        QTRY_COMPARE(catalog.loadState().state, LoadState::Loaded);
        QCOMPARE(texts.count(), 2);
    }

    void albumPageShowsTheFailureInPlaceOfItsTracks_data() { actions(); }
    void albumPageShowsTheFailureInPlaceOfItsTracks()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, prompt);
        QFETCH(QString, refusal);
        Rig rig;
        AlbumDetailModel::Sources sources {
            [](QString, AlbumDetailModel::Token, CancelToken) { return albumTracks(); },
            [](CancelToken) -> QCoro::Task<QList<AlbumOut>> { co_return QList<AlbumOut> {}; },
        };
        AlbumDetailModel album(sources, rig.stores());
        AlbumOut record;
        record.id = u"al1"_s;
        record.title = u"Альбом"_s;
        record.artist = u"Кто-то"_s;
        album.setAlbum(record);
        album.reload();
        QTRY_COMPARE(album.loadState().state, LoadState::Loaded);

        QVERIFY(QMetaObject::invokeMethod(&album, action, Q_ARG(int, 0)));
        QCOMPARE(album.promptTitle(), u"Нужен вход"_s);
        QCOMPARE(album.signInPrompt(), prompt);
        QCOMPARE(album.loadState().state, LoadState::Loaded);
        album.setSignInPrompt(QString());

        rig.signIn();
        QVERIFY(QMetaObject::invokeMethod(&album, action, Q_ARG(int, 0)));
        QTRY_COMPARE(album.loadState().state, LoadState::Failed);
        QCOMPARE(album.errorText(), refusal);
        QCOMPARE(album.signInPrompt(), QString());
    }

    void searchShowsTheFailureInPlaceOfItsResults_data() { actions(); }
    void searchShowsTheFailureInPlaceOfItsResults()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, prompt);
        QFETCH(QString, refusal);
        Rig rig;
        ManualClock clock;
        SearchModel search([](QString, CancelToken) { return foundTracks(); }, &clock, rig.stores());
        search.setQuery(u"a"_s);
        search.submit();
        QTRY_COMPARE(search.loadState().state, LoadState::Loaded);

        QVERIFY(QMetaObject::invokeMethod(search.tracks(), action, Q_ARG(int, 0)));
        QCOMPARE(search.tracks()->promptTitle(), u"Нужен вход"_s);
        QCOMPARE(search.tracks()->signInPrompt(), prompt);
        QCOMPARE(search.loadState().state, LoadState::Loaded);
        search.tracks()->setSignInPrompt(QString());

        rig.signIn();
        QSignalSpy texts(&search, &SearchModel::errorTextChanged);
        QVERIFY(QMetaObject::invokeMethod(search.tracks(), action, Q_ARG(int, 0)));
        QTRY_COMPARE(search.loadState().state, LoadState::Failed);
        QCOMPARE(search.errorText(), refusal);
        QCOMPARE(search.tracks()->signInPrompt(), QString());
        QCOMPARE(texts.count(), 1);
        // The next search clears it.
        search.submit();
        QTRY_COMPARE(search.loadState().state, LoadState::Loaded);
        QCOMPARE(texts.count(), 2);
    }

    // The players and the lists without an error view of their own: the
    // same alert, titled by its cause.
    void alertIsTitledByItsCause_data() { actions(); }
    void alertIsTitledByItsCause()
    {
        QFETCH(QByteArray, action);
        QFETCH(QString, playerPrompt);
        QFETCH(QString, refusal);
        QFETCH(QString, path);
        Rig rig;
        TrackActions current(rig.stores());
        TrackListModel list(rig.stores());
        list.setTracks(makeTracks({u"a"_s}));
        rig.player.play({u"a"_s}, 0);

        QVERIFY(QMetaObject::invokeMethod(&current, action));
        QCOMPARE(current.signInPrompt(), playerPrompt);
        QCOMPARE(current.promptTitle(), u"Нужен вход"_s);
        current.setSignInPrompt(QString());

        rig.signIn();
        QVERIFY(QMetaObject::invokeMethod(&current, action));
        QTRY_COMPARE(current.signInPrompt(), refusal);
        QCOMPARE(current.promptTitle(), u"Ошибка"_s);
        // Dismissed, then a guest again (signing out stops the player, so
        // the guest plays anew): the title goes back with the cause.
        current.setSignInPrompt(QString());
        rig.player.session.setToken(std::nullopt);
        rig.player.play({u"a"_s}, 0);
        QVERIFY(QMetaObject::invokeMethod(&current, action));
        QCOMPARE(current.signInPrompt(), playerPrompt);
        QCOMPARE(current.promptTitle(), u"Нужен вход"_s);
        current.setSignInPrompt(QString());

        rig.signIn();
        QVERIFY(QMetaObject::invokeMethod(&list, action, Q_ARG(int, 0)));
        QTRY_COMPARE(list.signInPrompt(), refusal);
        QCOMPARE(list.promptTitle(), u"Ошибка"_s);
        QCOMPARE(list.loadState().state, LoadState::Idle);
        QCOMPARE(m_server->requestsTo(path), 2);
    }
};

QTEST_MAIN(TestFavoriteFailures)
#include "tst_favoritefailures.moc"
