#include "artistfixtures.h"
#include "artists/artistcataloglogic.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

ArtistProfile makeProfile(const QString &name, const QList<TrackOut> &tracks, const QSet<QString> &albumIDs = {})
{
    ArtistProfile profile;
    profile.id = profile.name = name;
    profile.tracks = tracks;
    profile.albumIDs = albumIDs;
    return profile;
}

UserOut makeUser(const QString &username, std::optional<QString> catalogArtistName)
{
    UserOut user;
    user.id = u"u1"_s;
    user.username = username;
    user.role = u"user"_s;
    user.catalogArtistName = std::move(catalogArtistName);
    return user;
}

} // namespace

class TestArtistPage : public QObject
{
    Q_OBJECT
private slots:
    void unknownNameGivesNoPage()
    {
        const QList<ArtistProfile> profiles {makeProfile(u"A"_s, {})};
        QVERIFY(!ArtistCatalogLogic::buildPage(u"Nobody"_s, profiles, {}, {}, std::nullopt));
        QVERIFY(!ArtistCatalogLogic::buildPage(u"X feat. Y"_s, profiles, {}, {}, std::nullopt));
        QVERIFY(!ArtistCatalogLogic::buildPage(u"A"_s, {}, {}, {}, std::nullopt));
    }

    void pageShowsTheProfilesName_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::newRow("look-alike letters") << u"tect"_s;
        QTest::newRow("one name of a credit") << u"Nobody & Tect"_s;
    }
    void pageShowsTheProfilesName()
    {
        QFETCH(QString, asked);
        const QList<ArtistProfile> profiles {makeProfile(u"Tect"_s, {makeTrack(u"t1"_s, u"Tect"_s)})};
        const auto page = ArtistCatalogLogic::buildPage(asked, profiles, {}, {}, std::nullopt);
        QVERIFY(page);
        QCOMPARE(page->resolvedName, u"Tect"_s);
        QCOMPARE(page->profile, profiles.at(0));
        QCOMPARE(idsOf(page->singles), QStringList {u"t1"_s});
    }

    // One track for each place a track can take on the page, handed in out of
    // page order, with a repeated id at the end.
    void groupsAndOrder()
    {
        const QList<TrackOut> tracks {
            makeTrack(u"featSingle"_s, u"B feat. A"_s),
            makeTrack(u"single"_s, u"A feat. C"_s),
            makeTrack(u"own"_s, u"A"_s, u"alA"_s),
            makeTrack(u"guestOnOwnAlbum"_s, u"B"_s, u"alAB"_s, u"Song (feat. A)"_s),
            makeTrack(u"featTitle"_s, u"B"_s, u"alB"_s, u"Song (feat. A & D)"_s),
            makeTrack(u"onOthersAlbum"_s, u"B"_s, u"alB"_s),
            makeTrack(u"noGroup"_s, u"C"_s, u"alGone"_s, u"Plain"_s),
            makeTrack(u"featTitleNoAlbum"_s, u"C"_s, u"alGone"_s, u"Song ft. а"_s),
            makeTrack(u"ownLowerCase"_s, u"a x B"_s, u"alGone"_s),
            makeTrack(u"single"_s, u"A"_s),
        };
        const QList<AlbumOut> albums {
            makeAlbum(u"alZ"_s, u"A"_s), makeAlbum(u"alB"_s, u"B"_s), makeAlbum(u"alA"_s, u"A"_s),
            makeAlbum(u"alSet"_s, u"A & C"_s), makeAlbum(u"alAB"_s, u"B & A"_s),
            makeAlbum(u"alB"_s, u"A"_s), // a later entry of an id is not the track's catalogue album
        };
        const QList<ArtistProfile> profiles {
            makeProfile(u"B"_s, {}),
            makeProfile(u"A"_s, tracks, {u"alSet"_s}),
        };
        const auto page = ArtistCatalogLogic::buildPage(u"a"_s, profiles, albums, {}, std::nullopt);
        QVERIFY(page);
        QCOMPARE(page->resolvedName, u"A"_s);
        QCOMPARE(idsOf(page->artAlbums), (QStringList {u"alA"_s, u"alSet"_s, u"alAB"_s, u"alB"_s}));
        QCOMPARE(idsOf(page->featAlbums), QStringList {u"alB"_s});
        QCOMPARE(idsOf(page->singles), (QStringList {u"single"_s, u"single"_s}));
        QCOMPARE(idsOf(page->featSingles), QStringList {u"featSingle"_s});
        QCOMPARE(idsOf(page->albumTracks),
            (QStringList {u"own"_s, u"guestOnOwnAlbum"_s, u"featTitle"_s, u"onOthersAlbum"_s, u"ownLowerCase"_s}));
        QCOMPARE(idsOf(page->featTitleAlbumTracks), (QStringList {u"featTitle"_s, u"featTitleNoAlbum"_s}));
        QCOMPARE(idsOf(page->featAlbumTracks), (QStringList {u"featTitle"_s, u"onOthersAlbum"_s}));

        const QStringList pageOrder {u"single"_s, u"own"_s, u"ownLowerCase"_s, u"guestOnOwnAlbum"_s, u"featTitle"_s,
            u"featTitleNoAlbum"_s, u"featSingle"_s, u"onOthersAlbum"_s, u"noGroup"_s};
        QCOMPARE(idsOf(page->allTracks), pageOrder);
        QCOMPARE(page->playQueue, page->allTracks);
        // The first copy of a repeated id is the one that plays.
        QCOMPARE(page->allTracks.at(0).artist, u"A feat. C"_s);
    }

    void unreferencedAlbumsStayOff()
    {
        const QList<ArtistProfile> profiles {makeProfile(u"A"_s, {makeTrack(u"t1"_s, u"A"_s, u"al1"_s)})};
        const auto page = ArtistCatalogLogic::buildPage(u"A"_s, profiles,
            {makeAlbum(u"al1"_s, u"A"_s), makeAlbum(u"al2"_s, u"A"_s), makeAlbum(u"al3"_s, u"B"_s)}, {}, std::nullopt);
        QCOMPARE(idsOf(page->artAlbums), QStringList {u"al1"_s});
        QVERIFY(page->featAlbums.isEmpty());
    }

    // From a derived catalogue: every track of the profile stands once on the page.
    void everyTrackOnceFromCatalogue()
    {
        const QList<TrackOut> tracks {
            makeTrack(u"t1"_s, u"A"_s, u"al1"_s),
            makeTrack(u"t2"_s, u"B feat. A"_s),
            makeTrack(u"t3"_s, u"C"_s, u"al2"_s, u"Song (feat. A)"_s),
            makeTrack(u"t4"_s, u"D"_s, u"al3"_s),
            makeTrack(u"t1"_s, u"A"_s, u"al1"_s),
            makeTrack(u"t5"_s, u"A & B"_s),
        };
        const QList<AlbumOut> albums {makeAlbum(u"al1"_s, u"A"_s), makeAlbum(u"al2"_s, u"C"_s),
            makeAlbum(u"al3"_s, u"D & A"_s), makeAlbum(u"al4"_s, u"A"_s)};
        const auto profiles = ArtistCatalogLogic::buildCatalog(tracks, albums);
        const auto page = ArtistCatalogLogic::buildPage(u"A"_s, profiles, albums, {}, std::nullopt);
        QVERIFY(page);
        QCOMPARE(idsOf(page->allTracks), (QStringList {u"t5"_s, u"t1"_s, u"t4"_s, u"t3"_s, u"t2"_s}));
        QCOMPARE(page->allTracks.size(), page->profile.tracks.size());
        QCOMPARE(idsOf(page->artAlbums), (QStringList {u"al1"_s, u"al3"_s, u"al4"_s}));
        QCOMPARE(idsOf(page->featAlbums), QStringList {u"al2"_s});
    }

    void isFeatured_data()
    {
        QTest::addColumn<QStringList>("featured");
        QTest::addColumn<bool>("isFeatured");
        QTest::newRow("same name") << QStringList {u"X"_s, u"Tect"_s} << true;
        QTest::newRow("other case, look-alike letters") << QStringList {u"ТЕСТ"_s} << true;
        QTest::newRow("credit holding the name") << QStringList {u"Tect & X"_s} << false;
    }
    void isFeatured()
    {
        QFETCH(QStringList, featured);
        QFETCH(bool, isFeatured);
        const QList<ArtistProfile> profiles {makeProfile(u"Tect"_s, {})};
        QCOMPARE(
            ArtistCatalogLogic::buildPage(u"tect"_s, profiles, {}, featured, std::nullopt)->isFeatured, isFeatured);
    }

    void isMine_data()
    {
        QTest::addColumn<std::optional<UserOut>>("user");
        QTest::addColumn<bool>("isMine");
        QTest::newRow("nobody signed in") << std::optional<UserOut>() << false;
        QTest::newRow("user name, no catalogue name")
            << std::optional<UserOut>(makeUser(u"TECT"_s, std::nullopt)) << true;
        QTest::newRow("catalogue name with look-alike letters")
            << std::optional<UserOut>(makeUser(u"listener"_s, u"тесТ"_s)) << true;
    }
    void isMine()
    {
        QFETCH(std::optional<UserOut>, user);
        QFETCH(bool, isMine);
        const QList<ArtistProfile> profiles {makeProfile(u"Tect"_s, {})};
        QCOMPARE(ArtistCatalogLogic::buildPage(u"Tect"_s, profiles, {}, {}, user)->isMine, isMine);
    }
};

QTEST_GUILESS_MAIN(TestArtistPage)
#include "tst_artistpage.moc"
