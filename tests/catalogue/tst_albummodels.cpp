// The albums grid and an album's page: what they show while loading, after
// a failure and after loading again, where the album's record comes from,
// and what the big cover plays.
#include "catalogue/albumdetailmodel.h"
#include "catalogue/albumdirectory.h"
#include "catalogue/albumsgridmodel.h"

#include "api/apiconfig.h"

#include "pendingcalls.h"
#include "playerrig.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

AlbumOut makeAlbum(const QString &id, std::optional<qint64> year = 2024)
{
    AlbumOut album;
    album.id = id;
    album.title = u"Album "_s + id;
    album.artist = u"A & B"_s;
    album.year = year;
    album.coverUrl = u"media/covers/"_s + id + u".png"_s;
    return album;
}

QStringList albumIds(const QList<AlbumOut> &albums)
{
    QStringList ids;
    for (const AlbumOut &album : albums)
        ids << album.id;
    return ids;
}

// An album page over stand-in requests, the player rig and its session.
struct AlbumRig
{
    PendingCalls<QList<TrackOut>> tracks {makeTracks({u"t1"_s, u"t2"_s, u"t3"_s})};
    PendingCalls<QList<AlbumOut>> albums {{makeAlbum(u"a1"_s), makeAlbum(u"a2"_s, std::nullopt)}};
    QStringList askedIds;
    QList<std::optional<QString>> tokens;
    PlayerRig player;
    std::unique_ptr<AlbumDetailModel> page;

    AlbumRig()
    {
        AlbumDetailModel::Sources sources {
            [this](QString id, AlbumDetailModel::Token token, CancelToken cancel) {
                askedIds << id;
                tokens << token;
                return tracks.call(std::move(cancel));
            },
            [this](CancelToken cancel) { return albums.call(std::move(cancel)); },
        };
        page = std::make_unique<AlbumDetailModel>(
            sources, TrackStores {player.store.get(), nullptr, nullptr, &player.session});
    }
};

} // namespace

class TestAlbumModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:9"_s));
    }
    void init() { AlbumDirectory::clear(); }

    void gridShowsTheLastLoadsOutcome()
    {
        PendingCalls<QList<AlbumOut>> source {{makeAlbum(u"a1"_s), makeAlbum(u"a2"_s, std::nullopt)}};
        AlbumsGridModel grid([&source](CancelToken cancel) { return source.call(std::move(cancel)); });
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(grid.loadState().state, LoadState::Idle);

        grid.reload();
        QCOMPARE(grid.loadState().state, LoadState::Loading);
        source.answer();
        QCOMPARE(grid.loadState().state, LoadState::Loaded);
        QCOMPARE(albumIds(grid.albums()), (QStringList {u"a1"_s, u"a2"_s}));
        QCOMPARE(grid.index(0).data(AlbumsGridModel::CoverUrlRole).toString(),
            u"http://127.0.0.1:9/media/covers/a1.png"_s);
        QCOMPARE(grid.index(0).data(AlbumsGridModel::YearRole).toString(), u"2024"_s);
        QCOMPARE(grid.index(1).data(AlbumsGridModel::YearRole).toString(), QString());
        // Opened from the grid, an album's page knows its record.
        QCOMPARE(AlbumDirectory::find(u"a2"_s)->title, u"Album a2"_s);

        // A reload over shown albums keeps them and shows no spinner; its
        // failure covers them until the next load, which clears it at once.
        grid.reload();
        QCOMPARE(grid.loadState().state, LoadState::Loaded);
        QVERIFY(grid.isLoading());
        QSignalSpy texts(&grid, &AlbumsGridModel::errorTextChanged);
        source.fail();
        QCOMPARE(grid.loadState(), LoadState::failed(pendingFailureText()));
        QCOMPARE(grid.count(), 2);
        grid.reload();
        QCOMPARE(grid.errorText(), QString());
        QCOMPARE(texts.count(), 2);
        source.answer();
        QCOMPARE(grid.loadState().state, LoadState::Loaded);
        source.value = {};
        grid.reload();
        source.answer();
        QCOMPARE(grid.loadState().state, LoadState::Empty);
    }

    // The grid loads each time it comes on screen, the return from an
    // album's page included, keeping its albums meanwhile.
    void gridLoadsOnEveryShowing()
    {
        PendingCalls<QList<AlbumOut>> source {{makeAlbum(u"a1"_s)}};
        AlbumsGridModel grid([&source](CancelToken cancel) { return source.call(std::move(cancel)); });
        grid.setShown(true);
        QTRY_COMPARE(source.requests.size(), 1);
        source.answer();
        grid.setShown(false);
        QCoreApplication::processEvents();
        source.value = {makeAlbum(u"a1"_s), makeAlbum(u"a3"_s)};
        grid.setShown(true);
        QTRY_COMPARE(source.requests.size(), 2);
        QCOMPARE(grid.loadState().state, LoadState::Loaded);
        source.answer();
        QCOMPARE(albumIds(grid.albums()), (QStringList {u"a1"_s, u"a3"_s}));
        QCoreApplication::processEvents();
        QCOMPARE(source.requests.size(), 2);
    }

    void albumPageLoadsFailsAndLoadsAgain()
    {
        AlbumDirectory::remember(makeAlbum(u"a1"_s));
        AlbumRig rig;
        rig.player.session.setToken(u"tok"_s);
        rig.page->setAlbumId(u"a1"_s);
        QCOMPARE(rig.page->title(), u"Album a1"_s);
        QCOMPARE(rig.page->yearText(), u"2024"_s);
        QCOMPARE(rig.page->coverUrl(), u"http://127.0.0.1:9/media/covers/a1.png"_s);

        rig.page->reload();
        QCOMPARE(rig.page->loadState().state, LoadState::Loading);
        // The record was known: only the tracks are asked for, with the token.
        QCOMPARE(rig.albums.requests.size(), 0);
        QCOMPARE(rig.askedIds, QStringList {u"a1"_s});
        QCOMPARE(rig.tokens.value(0), std::optional<QString>(u"tok"_s));
        rig.tracks.answer();
        QCOMPARE(rig.page->loadState().state, LoadState::Loaded);
        QCOMPARE(trackIds(rig.page->tracks()), (QStringList {u"t1"_s, u"t2"_s, u"t3"_s}));

        rig.page->reload();
        rig.tracks.fail();
        QCOMPARE(rig.page->loadState(), LoadState::failed(pendingFailureText()));
        QCOMPARE(rig.page->count(), 3);

        // Loading again clears the text before the answer comes.
        rig.tracks.value = {};
        rig.page->reload();
        QCOMPARE(rig.page->errorText(), QString());
        QCOMPARE(rig.page->loadState().state, LoadState::Loading);
        rig.tracks.answer();
        QCOMPARE(rig.page->loadState().state, LoadState::Empty);
    }

    void anUnknownAlbumTakesItsRecordFromTheList()
    {
        AlbumRig rig;
        rig.page->setAlbumId(u"a2"_s);
        QCOMPARE(rig.page->title(), QString());
        rig.page->reload();
        // A guest asks without a token.
        QCOMPARE(rig.tokens.value(0), std::nullopt);
        rig.tracks.answer();
        QCOMPARE(rig.page->loadState().state, LoadState::Loading);
        rig.albums.answer();
        QCOMPARE(rig.page->title(), u"Album a2"_s);
        QCOMPARE(rig.page->yearText(), QString());
        QCOMPARE(rig.page->count(), 3);

        // A list without it, or a failed one, still shows the tracks.
        AlbumRig other;
        other.page->setAlbumId(u"a9"_s);
        other.page->reload();
        other.albums.fail();
        other.tracks.answer();
        QCOMPARE(other.page->loadState().state, LoadState::Loaded);
        QCOMPARE(other.page->albumId(), u"a9"_s);
    }

    void theBigCoverPlaysTheAlbumFromItsFirstTrack()
    {
        AlbumDirectory::remember(makeAlbum(u"a1"_s));
        AlbumRig rig;
        rig.page->setAlbumId(u"a1"_s);
        rig.page->reload();
        // Before the tracks arrive it does nothing.
        rig.page->playAlbum();
        QCOMPARE(rig.player.currentId(), QString());
        QVERIFY(!rig.player.store->isFullscreenPresented());

        rig.tracks.answer();
        rig.page->playAlbum();
        QCOMPARE(rig.player.currentId(), u"t1"_s);
        QCOMPARE(trackIds(rig.player.store->queue()), (QStringList {u"t1"_s, u"t2"_s, u"t3"_s}));
        QVERIFY(rig.player.store->isFullscreenPresented());
    }

    void aGonePageDropsItsAnswer()
    {
        AlbumRig rig;
        rig.page->setAlbumId(u"a1"_s);
        rig.page->reload();
        PendingRequest *running = rig.tracks.last();
        rig.page.reset();
        QVERIFY(running->cancelled);
    }
};

QTEST_GUILESS_MAIN(TestAlbumModels)
#include "tst_albummodels.moc"
