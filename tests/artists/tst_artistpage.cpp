#include "artistfixtures.h"
#include "artists/artistcataloglogic.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

ArtistProfile makeProfile(const QString &name, const QList<TrackOut> &tracks, const QSet<QString> &albumIds = {})
{
    ArtistProfile profile;
    profile.id = profile.name = name;
    profile.tracks = tracks;
    profile.albumIds = albumIds;
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
    void pageFindsItsProfile()
    {
        const QList<ArtistProfile> profiles {makeProfile(u"Tect"_s, {makeTrack(u"t1"_s, u"Tect"_s)})};
        // Look-alike letters, or one name of a credit: the profile's own name.
        for (const QString &asked : {u"tect"_s, u"Nobody & Tect"_s}) {
            const auto page = ArtistCatalogLogic::buildPage(asked, profiles, {}, {}, std::nullopt);
            QVERIFY(page);
            QCOMPARE(page->resolvedName, u"Tect"_s);
            QCOMPARE(idsOf(page->singles), QStringList {u"t1"_s});
        }
        QVERIFY(!ArtistCatalogLogic::buildPage(u"Nobody"_s, profiles, {}, {}, std::nullopt));
        QVERIFY(!ArtistCatalogLogic::buildPage(u"X feat. Y"_s, profiles, {}, {}, std::nullopt));
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

    void featuredAndMine()
    {
        const QList<ArtistProfile> profiles {makeProfile(u"Tect"_s, {})};
        const auto featured = [&](const QStringList &names) {
            const auto page = ArtistCatalogLogic::buildPage(u"tect"_s, profiles, {}, names, std::nullopt);
            return page ? std::optional(page->isFeatured) : std::nullopt;
        };
        QCOMPARE(featured({u"X"_s, u"Tect"_s}), std::optional(true));
        QCOMPARE(featured({u"ТЕСТ"_s}), std::optional(true)); // other case, look-alike letters
        QCOMPARE(featured({u"Tect & X"_s}), std::optional(false)); // a credit holding the name is not the name

        const auto mine = [&](std::optional<UserOut> user) {
            const auto page = ArtistCatalogLogic::buildPage(u"Tect"_s, profiles, {}, {}, user);
            return page ? std::optional(page->isMine) : std::nullopt;
        };
        QCOMPARE(mine(std::nullopt), std::optional(false));
        QCOMPARE(mine(makeUser(u"TECT"_s, std::nullopt)), std::optional(true)); // the user name when no catalogue name
        QCOMPARE(mine(makeUser(u"listener"_s, u"тесТ"_s)), std::optional(true));
        QCOMPARE(mine(makeUser(u"listener"_s, u"Other"_s)), std::optional(false));
    }

    void normKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("all eleven look-alikes") << u"АЕКМОРСТХВН"_s << u"aekmopctxbh"_s;
        QTest::newRow("mixed scripts") << u"Мах Кор"_s << u"max kop"_s;
        QTest::newRow("other cyrillic stays") << u"Дождь"_s << u"дoждь"_s;
        QTest::newRow("leading space kept") << u" Abc"_s << u" abc"_s;
        QTest::newRow("cyrillic capitals beyond the alphabet's core") << u"ЁЖИК ЂЉЏ"_s << u"ёжиk ђљџ"_s;
        QTest::newRow("other scripts by the case tables") << u"ΣΟΦΙΑ Élan Ǆ"_s << u"σοφια élan ǆ"_s;
        QTest::newRow("a letter whose lower case is two") << u"İZMİR"_s << QString(u"İZMİR"_s).toLower();
        QTest::newRow("already a key, after a Greek capital") << u"Ωabc"_s << u"ωabc"_s;
    }
    void normKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(ArtistCatalogLogic::normKey(name), key);
        // A key is its own key, so keys may be compared with keys of keys.
        QCOMPARE(ArtistCatalogLogic::normKey(key), key);
    }

    void splitArtists_data()
    {
        QTest::addColumn<QString>("credit");
        QTest::addColumn<QStringList>("names");
        const QStringList ab {u"A"_s, u"B"_s};
        QTest::newRow("empty") << QString() << QStringList {u"Неизвестно"_s};
        QTest::newRow("blank") << u" \t\n "_s << QStringList {u"Неизвестно"_s};
        QTest::newRow("single") << u"  Solo Artist "_s << QStringList {u"Solo Artist"_s};

        QTest::newRow("feat.") << u"A feat. B"_s << ab;
        QTest::newRow("ft.") << u"A ft. B"_s << ab;
        QTest::newRow("featuring") << u"A featuring B"_s << ab;
        QTest::newRow("Featuring") << u"A Featuring B"_s << ab;
        QTest::newRow("feat. without space after") << u"A feat.B"_s << ab;
        QTest::newRow("ampersand") << u"A & B"_s << ab;
        QTest::newRow("comma") << u"A, B"_s << ab;
        QTest::newRow("semicolon") << u"A; B"_s << ab;
        QTest::newRow("russian and") << u"A и B"_s << ab;
        QTest::newRow("russian And, capital") << u"A И B"_s << ab;
        QTest::newRow("x") << u"A x B"_s << ab;
        QTest::newRow("slash") << u"A / B"_s << ab;
        QTest::newRow("times sign") << u"A × B"_s << ab;
        QTest::newRow("no-break spaces") << u"A\u00A0x\u00A0B"_s << ab;
        QTest::newRow("several separators")
            << u"A & B, C feat. D x E"_s << QStringList {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s};

        QTest::newRow("AC/DC") << u"AC/DC"_s << QStringList {u"AC/DC"_s};
        QTest::newRow("slash on one side") << u"A/ B"_s << QStringList {u"A/ B"_s};
        QTest::newRow("times without spaces") << u"A ×B"_s << QStringList {u"A ×B"_s};
        QTest::newRow("x inside a word") << u"Alex Turner"_s << QStringList {u"Alex Turner"_s};
        QTest::newRow("feat starts a word") << u"Feather Band"_s << QStringList {u"Feather Band"_s};
        QTest::newRow("ft before a digit") << u"A ft2 B"_s << QStringList {u"A ft2 B"_s};
        QTest::newRow("cyrillic x is no separator") << u"A х B"_s << QStringList {u"A х B"_s};
        QTest::newRow("и inside words") << u"Ирина Иванова"_s << QStringList {u"Ирина Иванова"_s};
        QTest::newRow("и at the end") << u"A и"_s << QStringList {u"A и"_s};

        QTest::newRow("bracketed feat dropped") << u"A (feat. B)"_s << QStringList {u"A"_s};
        QTest::newRow("bracketed feat then more") << u"A (feat. B) & C"_s << QStringList {u"A"_s, u"C"_s};
        QTest::newRow("other brackets stay") << u"A (Live)"_s << QStringList {u"A (Live)"_s};
        QTest::newRow("trailing keyword") << u"A feat"_s << QStringList {u"A"_s};
        QTest::newRow("leading keyword") << u"feat. B"_s << QStringList {u"B"_s};

        QTest::newRow("empty piece dropped") << u"A, , B"_s << ab;
        QTest::newRow("only a separator") << u","_s << QStringList {u","_s};
    }
    void splitArtists()
    {
        QFETCH(QString, credit);
        QFETCH(QStringList, names);
        QCOMPARE(ArtistCatalogLogic::splitArtists(credit), names);
    }

    // The featured names of a title make artists of their own in the catalogue.
    void titleFeaturingNamesArtists_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("artists");
        QTest::newRow("bracketed group") << u"Song (feat. B & C)"_s << QStringList {u"A"_s, u"B"_s, u"C"_s};
        QTest::newRow("bracket then more") << u"Song (ft. B) [Remix]"_s << QStringList {u"A"_s, u"B"_s};
        QTest::newRow("plain FT") << u"Song FT B x C"_s << QStringList {u"A"_s, u"B"_s, u"C"_s};
        QTest::newRow("empty group") << u"Song (feat. )"_s << QStringList {u"A"_s};
        QTest::newRow("keyword inside a word") << u"Defeated Soft"_s << QStringList {u"A"_s};
        QTest::newRow("keyword first") << u"feat. B"_s << QStringList {u"A"_s};
    }
    void titleFeaturingNamesArtists()
    {
        QFETCH(QString, title);
        QFETCH(QStringList, artists);
        const auto profiles = ArtistCatalogLogic::buildCatalog({makeTrack(u"t1"_s, u"A"_s, {}, title)}, {});
        QStringList names;
        for (const ArtistProfile &profile : profiles)
            names.append(profile.name);
        QCOMPARE(names, artists);
    }

    void albumCreditsHasArtist()
    {
        QVERIFY(ArtistCatalogLogic::albumCreditsHasArtist(u"A & B"_s, u"b"_s)); // second name, other case
        QVERIFY(ArtistCatalogLogic::albumCreditsHasArtist(u"ТЕСТ x Other"_s, u"Tect"_s));
        QVERIFY(!ArtistCatalogLogic::albumCreditsHasArtist(u"A (feat. B)"_s, u"B"_s)); // a guest is no credit
        QVERIFY(!ArtistCatalogLogic::albumCreditsHasArtist(u"A & B"_s, u" A"_s)); // the name is not trimmed
        QVERIFY(ArtistCatalogLogic::albumCreditsHasArtist(QString(), u"неизвестно"_s));
    }

    // The Cyrillic stage name in the alias table joins the Latin form's artist
    // and shows under the Latin form even when met first.
    void aliasJoinsSpellings()
    {
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"СКРИПТОНИТ"_s), makeTrack(u"t2"_s, u"scriptonite feat. Other"_s)}, {});
        QCOMPARE(profiles.size(), 2);
        QCOMPARE(profiles.at(1).name, u"Scriptonite"_s);
        QCOMPARE(idsOf(profiles.at(1).tracks), (QStringList {u"t1"_s, u"t2"_s}));
    }
};

QTEST_GUILESS_MAIN(TestArtistPage)
#include "tst_artistpage.moc"
