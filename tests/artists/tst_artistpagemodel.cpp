// The artist page's model against a fake service: which state shows when,
// a stale name's load, the header's rules, the track list's toggle, the
// share link and favourites toggled from the page.
#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistpagemodel.h"
#include "artists/artistpagetext.h"

#include "catalogpages.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "playerrig.h"
#include "testenv.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kTracks = u"/api/v1/tracks"_s;

QJsonObject track(const QString &id, const QString &artist)
{
    QJsonObject o = trackJson(id, u"Song "_s + id);
    o.insert("artist"_L1, artist);
    return o;
}

// Artists of four, five and six tracks, and one album of "Six".
QJsonArray catalogueTracks()
{
    QJsonArray tracks;
    const QList<QPair<QString, int>> artists {{u"Four"_s, 4}, {u"Five"_s, 5}, {u"Six"_s, 6}};
    for (const auto &[name, count] : artists) {
        for (int i = 1; i <= count; ++i) {
            QJsonObject o = track(name.toLower() + QString::number(i), name);
            if (name == u"Six"_s && i <= 2)
                o.insert("album_id"_L1, u"al6"_s);
            tracks.append(o);
        }
    }
    return tracks;
}

} // namespace

class TestArtistPageModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<PlayerRig> m_player;
    std::unique_ptr<FavoritesStore> m_favorites;
    std::unique_ptr<RatingsStore> m_ratings;
    std::unique_ptr<ArtistCatalogStore> m_catalog;

    void serveCatalogue(int tracksStatus = 200)
    {
        const QJsonArray tracks = catalogueTracks();
        FakeResponse page = jsonResponse(trackPageBody(tracks, tracks.size(), 1, 1000, 1), tracksStatus);
        if (tracksStatus != 200)
            page.body = R"({"detail": "Каталог недоступен"})";
        m_server->on(u"GET"_s, kTracks, page);
    }

    std::unique_ptr<ArtistPageModel> makeModel()
    {
        StoreRegistry::set(m_catalog.get());
        auto model = std::make_unique<ArtistPageModel>(
            TrackStores {m_player->store.get(), m_favorites.get(), m_ratings.get(), &m_player->session});
        return model;
    }

    // The states a model went through, each once in a row.
    static QList<int> trace(ArtistPageModel &model, const std::function<void()> &act)
    {
        QList<int> states {model.loadStateValue()};
        QObject::connect(&model, &ArtistPageModel::loadStateChanged, &model,
            [&] { states.append(model.loadStateValue()); });
        act();
        if (!QTest::qWaitFor([&] { return model.loadStateValue() != LoadState::Loading; }, nimbra::test::kEventLimitMs))
            states.append(-1); // never settled
        QObject::disconnect(&model, &ArtistPageModel::loadStateChanged, &model, nullptr);
        return states;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->on(u"GET"_s, u"/api/v1/albums"_s,
            jsonResponse(listBody({[] {
                QJsonObject o = albumJson(u"al6"_s);
                o.insert("artist"_L1, u"Six"_s);
                o.insert("year"_L1, 2021);
                return o;
            }()})));
        m_server->on(u"GET"_s, u"/api/v1/catalog/featured-artist-names"_s, jsonResponse(R"({"names": ["five"]})"));
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, jsonResponse("{}"));
        m_server->setFallback([](const RecordedRequest &request) {
            const bool removal = request.method == u"DELETE"_s && request.path.startsWith(u"/api/v1/favorites/"_s);
            return jsonResponse("{}", removal ? 200 : 404);
        });
    }

    void init()
    {
        serveCatalogue();
        m_server->clearRequests();
        m_player = std::make_unique<PlayerRig>();
        m_favorites = std::make_unique<FavoritesStore>(&m_player->session);
        m_ratings = std::make_unique<RatingsStore>(&m_player->session);
        m_catalog = std::make_unique<ArtistCatalogStore>(NimbraApi());
    }

    void cleanup()
    {
        m_catalog.reset();
        m_ratings.reset();
        m_favorites.reset();
        m_player.reset();
    }

    void coldLoadsThenWarmGoesStraightToThePage()
    {
        auto model = makeModel();
        const QList<int> cold = trace(*model, [&] { model->setArtistName(u"six"_s); });
        QCOMPARE(cold, (QList<int> {LoadState::Idle, LoadState::Loading, LoadState::Loaded}));
        // The name as asked for until the page comes, then the page's own.
        QCOMPARE(model->title(), u"Six"_s);
        QCOMPARE(m_server->requestsTo(kTracks), 1);

        const QList<int> warm = trace(*model, [&] { model->setArtistName(u"Nobody"_s); });
        QCOMPARE(warm, (QList<int> {LoadState::Loaded, LoadState::Empty}));
        QCOMPARE(model->notFoundText(), u"«Nobody» нет в каталоге"_s);
        QCOMPARE(model->title(), u"Nobody"_s);
        const QList<int> back = trace(*model, [&] { model->setArtistName(u"Five"_s); });
        QCOMPARE(back, (QList<int> {LoadState::Empty, LoadState::Loaded}));
        QCOMPARE(m_server->requestsTo(kTracks), 1);

        // The same name again starts nothing.
        QSignalSpy page(model.get(), &ArtistPageModel::pageChanged);
        model->setArtistName(u"Five"_s);
        QCOMPARE(page.count(), 0);
    }

    void failureThenRetryLoadsAgain()
    {
        serveCatalogue(503);
        auto model = makeModel();
        QSignalSpy texts(model.get(), &ArtistPageModel::errorTextChanged);
        trace(*model, [&] { model->setArtistName(u"Six"_s); });
        QCOMPARE(model->loadStateValue(), int(LoadState::Failed));
        QCOMPARE(model->errorText(), u"Каталог недоступен"_s);
        QCOMPARE(texts.count(), 1);

        serveCatalogue();
        const QList<int> retried = trace(*model, [&] { model->retry(); });
        QCOMPARE(retried, (QList<int> {LoadState::Failed, LoadState::Loading, LoadState::Loaded}));
        QCOMPARE(texts.count(), 2);
        QCOMPARE(m_server->requestsTo(kTracks), 2);
        // "Повторить" on a ready catalogue loads it afresh all the same.
        trace(*model, [&] { model->retry(); });
        QCOMPARE(m_server->requestsTo(kTracks), 3);
    }

    // The first name's load finishes after the name changed (in the same
    // turn of the event loop, before any answer could come): only the
    // current name's page is ever set.
    void aStaleNamesLoadWritesNothing()
    {
        auto model = makeModel();
        QStringList titles;
        connect(model.get(), &ArtistPageModel::pageChanged, model.get(), [&] {
            if (model->page())
                titles.append(model->page()->resolvedName);
        });
        model->setArtistName(u"Four"_s);
        QCOMPARE(model->loadStateValue(), int(LoadState::Loading));
        model->setArtistName(u"Six"_s);
        QTRY_COMPARE(model->loadStateValue(), int(LoadState::Loaded));
        QVERIFY(waitUntilIdle());
        QCOMPARE(titles, QStringList {u"Six"_s});
        QCOMPARE(m_server->requestsTo(kTracks), 1);
    }

    void headerAndActions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wave");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<bool>("featured");
        QTest::newRow("four: no wave") << u"Four"_s << false << u"4 трека · 0 альбомов"_s << false;
        QTest::newRow("five: wave") << u"Five"_s << true << u"5 треков · 0 альбомов"_s << true;
        QTest::newRow("six") << u"Six"_s << true << u"6 треков · 1 альбом"_s << false;
    }
    void headerAndActions()
    {
        QFETCH(QString, name);
        QFETCH(bool, wave);
        auto model = makeModel();
        model->setArtistName(name);
        QTRY_COMPARE(model->loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(model->showsWave(), wave);
        QTEST(model->countsText(), "counts");
        QTEST(model->isFeatured(), "featured");
        const QList<TrackOut> queue = model->page()->playQueue;

        model->wave();
        QCOMPARE(m_player->currentId().isEmpty(), !wave);
        model->play();
        QCOMPARE(m_player->currentId(), queue.first().id);
        model->shuffle();
        QStringList played, expected;
        for (const TrackOut &t : m_player->store->queue())
            played.append(t.id);
        for (const TrackOut &t : queue)
            expected.append(t.id);
        QCOMPARE(played.first(), m_player->currentId());
        played.sort();
        expected.sort();
        QCOMPARE(played, expected);
    }

    // Five rows, the rest behind the toggle; rows play within the whole list.
    void trackListToggle()
    {
        auto model = makeModel();
        QAbstractItemModelTester tester(model->tracks());
        model->setArtistName(u"Six"_s);
        QTRY_COMPARE(model->loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(model->shownTrackCount(), 5);
        QCOMPARE(model->hiddenTrackCount(), 1);
        QCOMPARE(model->toggleText(), u"Ещё 1 трек"_s);
        model->toggleTracksExpanded();
        QCOMPARE(model->shownTrackCount(), 6);
        QCOMPARE(model->toggleText(), u"Свернуть"_s);
        model->tracks()->play(5);
        QCOMPARE(m_player->store->queue().size(), 6);

        // Another artist starts collapsed; five tracks need no toggle.
        model->setArtistName(u"Five"_s);
        QVERIFY(!model->tracksExpanded());
        QCOMPARE(model->shownTrackCount(), 5);
        QCOMPARE(model->hiddenTrackCount(), 0);
        QCOMPARE(model->artAlbums()->count(), 0);
        model->setArtistName(u"Six"_s);
        QCOMPARE(model->artAlbums()->data(model->artAlbums()->index(0), ArtistAlbumListModel::CaptionRole),
            QVariant(u"2021 · 2 трека"_s));
    }

    void toggleWords_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<QString>("text");
        for (const auto &[n, text] : QList<QPair<int, QString>> {{1, u"Ещё 1 трек"_s}, {3, u"Ещё 3 трека"_s},
                 {5, u"Ещё 5 треков"_s}, {11, u"Ещё 11 треков"_s}, {12, u"Ещё 12 треков"_s},
                 {21, u"Ещё 21 трек"_s}, {24, u"Ещё 24 трека"_s}, {25, u"Ещё 25 треков"_s},
                 {111, u"Ещё 111 треков"_s}, {122, u"Ещё 122 трека"_s}})
            QTest::addRow("%d", n) << n << text;
    }
    void toggleWords()
    {
        QFETCH(int, hidden);
        QTEST(ArtistPageText::toggle(hidden, false), "text");
        QCOMPARE(ArtistPageText::toggle(hidden, true), u"Свернуть"_s);
    }

    void shareLink_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("letters, digits, hyphen") << u"Ab-1"_s << u"artist:Ab-1"_s;
        QTest::newRow("blank") << u"A B"_s << u"artist:A%20B"_s;
        QTest::newRow("ampersand stays") << u"R&B"_s << u"artist:R&B"_s;
        QTest::newRow("hash encoded") << u"#1 Fan"_s << u"artist:%231%20Fan"_s;
        QTest::newRow("slash stays") << u"AC/DC"_s << u"artist:AC/DC"_s;
        QTest::newRow("percent encoded once") << u"100%"_s << u"artist:100%25"_s;
        QTest::newRow("cyrillic") << u"Эхо"_s << u"artist:%D0%AD%D1%85%D0%BE"_s;
        QTest::newRow("emoji") << u"DJ 🎤"_s << u"artist:DJ%20%F0%9F%8E%A4"_s;
    }
    void shareLink()
    {
        QFETCH(QString, name);
        QFETCH(QString, fragment);
        // The built-in host, whatever base address the settings hold.
        const QString link = ArtistPageText::shareLink(name);
        QCOMPARE(link, u"https://"_s + ApiConfig::defaultBaseUrl().host() + u"#"_s + fragment);
        const QUrl url(link, QUrl::StrictMode);
        QVERIFY(url.isValid());
        QCOMPARE(url.fragment(QUrl::FullyDecoded), u"artist:"_s + name);
    }

    // A heart clicked on the page shows at once and the next click takes it
    // back, though the catalogue's record still says otherwise.
    void favouriteKeptByTrackId()
    {
        auto model = makeModel();
        model->setArtistName(u"Six"_s);
        QTRY_COMPARE(model->loadStateValue(), int(LoadState::Loaded));
        TrackListModel *rows = model->tracks();

        // A guest is asked to sign in and nothing is sent.
        rows->toggleFavorite(0);
        QCOMPARE(rows->signInPrompt(), u"Войдите в аккаунт, чтобы добавлять треки в избранное."_s);
        rows->setSignInPrompt({});

        m_player->session.setToken(u"tok"_s);
        m_player->session.setHasUser(true);
        m_server->clearRequests();
        rows->toggleFavorite(0);
        QTRY_VERIFY(rows->data(rows->index(0), TrackListModel::IsFavoriteRole).toBool());
        rows->toggleFavorite(0);
        QTRY_COMPARE(m_server->requestCount(), 2);
        QTRY_VERIFY(!rows->data(rows->index(0), TrackListModel::IsFavoriteRole).toBool());
        QStringList sent;
        for (const RecordedRequest &r : m_server->requests())
            sent.append(r.method + u' ' + r.path);
        QCOMPARE(m_favorites->errorText(), QString());
        const QString id = rows->trackAt(0).id;
        QCOMPARE(sent, (QStringList {u"POST /api/v1/favorites"_s, u"DELETE /api/v1/favorites/"_s + id}));
    }
};

QTEST_MAIN(TestArtistPageModel)
#include "tst_artistpagemodel.moc"
