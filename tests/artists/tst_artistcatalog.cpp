#include "artistfixtures.h"
#include "artists/artistcataloglogic.h"

#include <QtTest>

#include <ctime>
#include <limits>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// A missing profile reads as an empty one, so that the comparisons after
// it fail instead of the whole run crashing.
const ArtistProfile &profileNamed(const QList<ArtistProfile> &profiles, const QString &name)
{
    static const ArtistProfile missing;
    for (const ArtistProfile &profile : profiles) {
        if (profile.name == name)
            return profile;
    }
    qWarning("no profile named %s", qPrintable(name));
    return missing;
}

QStringList namesOf(const QList<ArtistProfile> &profiles)
{
    QStringList names;
    for (const ArtistProfile &profile : profiles)
        names.append(profile.name);
    return names;
}

std::optional<ArtistLatestRelease> latestOf(
    const QList<TrackOut> &tracks, const QList<AlbumOut> &albums, const QString &artist = u"A"_s)
{
    const auto profiles = ArtistCatalogLogic::buildCatalog(tracks, albums);
    return profileNamed(profiles, artist).latestRelease;
}

} // namespace

class TestArtistCatalog : public QObject
{
    Q_OBJECT
private slots:
    void trackBelongsToEveryCreditedArtist()
    {
        const auto profiles
            = ArtistCatalogLogic::buildCatalog({makeTrack(u"t1"_s, u"A & B"_s, u"al1"_s, u"Song (feat. C)"_s)}, {});
        QCOMPARE(namesOf(profiles), (QStringList {u"A"_s, u"B"_s, u"C"_s}));
        for (const ArtistProfile &profile : profiles) {
            QCOMPARE(profile.id, profile.name);
            QCOMPARE(idsOf(profile.tracks), QStringList {u"t1"_s});
            QCOMPARE(profile.albumIds, QSet<QString> {u"al1"_s});
        }
    }

    void albumCreditTakesItsTracks()
    {
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"B"_s, u"al1"_s), makeTrack(u"t2"_s, u"C"_s), makeTrack(u"t3"_s, u"B"_s, u"al1"_s)},
            {makeAlbum(u"al1"_s, u"A"_s), makeAlbum(u"al2"_s, u"D"_s, {}, u"covers/d.jpg"_s)});
        QCOMPARE(namesOf(profiles), (QStringList {u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
        const ArtistProfile &a = profileNamed(profiles, u"A"_s);
        QCOMPARE(idsOf(a.tracks), (QStringList {u"t1"_s, u"t3"_s}));
        QCOMPARE(a.albumIds, QSet<QString> {u"al1"_s});
        // An album credit alone makes an artist, without tracks.
        const ArtistProfile &d = profileNamed(profiles, u"D"_s);
        QVERIFY(d.tracks.isEmpty());
        QCOMPARE(d.albumIds, QSet<QString> {u"al2"_s});
        QCOMPARE(d.coverUrl, u"covers/d.jpg"_s);
    }

    void spellingsShareOneProfile()
    {
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"Tect"_s), makeTrack(u"t2"_s, u"ТЕСТ"_s), makeTrack(u"t3"_s, u"tECT & X"_s)}, {});
        QCOMPARE(namesOf(profiles), (QStringList {u"Tect"_s, u"X"_s}));
        QCOMPARE(idsOf(profiles.at(0).tracks), (QStringList {u"t1"_s, u"t2"_s, u"t3"_s}));

        const auto reversed
            = ArtistCatalogLogic::buildCatalog({makeTrack(u"t2"_s, u"ТЕСТ"_s), makeTrack(u"t1"_s, u"Tect"_s)}, {});
        QCOMPARE(namesOf(reversed), QStringList {u"ТЕСТ"_s});
    }

    void repeatedTrackListedOnce()
    {
        TrackOut later = makeTrack(u"t1"_s, u"A"_s, u"al2"_s, u"Other title"_s);
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"A"_s, u"al1"_s), makeTrack(u"t2"_s, u"A"_s), later},
            {makeAlbum(u"al1"_s, u"A"_s), makeAlbum(u"al2"_s, u"A"_s)});
        QCOMPARE(profiles.size(), 1);
        QCOMPARE(idsOf(profiles.at(0).tracks), (QStringList {u"t1"_s, u"t2"_s}));
        QCOMPARE(profiles.at(0).tracks.at(0).title, u"Song"_s);
        // The repeated copy still links its album.
        QCOMPARE(profiles.at(0).albumIds, (QSet<QString> {u"al1"_s, u"al2"_s}));
    }

    // A profile keeps its tracks compactly; each comes back as it was given.
    void profileTracksComeBackWhole_data()
    {
        QTest::addColumn<TrackOut>("track");
        TrackOut bare;
        bare.id = u"t1"_s;
        bare.artist = u"A"_s;
        TrackOut full = bare;
        full.title = u"Песня \U0001F3B5"_s;
        full.durationSeconds = std::numeric_limits<qint64>::max();
        full.fileUrl = u"media/t1.flac"_s;
        full.coverUrl = QString();
        full.albumId = u"al1"_s;
        full.lyrics = u"[00:01.00] строка"_s;
        full.trackNumber = -3;
        full.userRating = u"like"_s;
        full.isFavorite = true;
        full.createdAt = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0, 7), QTimeZone::utc());
        TrackOut lone = bare;
        lone.title = QString(QChar(0xD83C)); // half of a pair, as a JSON escape may give it
        lone.createdAt = QDateTime();
        QTest::newRow("no optional field") << bare;
        QTest::newRow("every field") << full;
        QTest::newRow("lone surrogate, invalid date") << lone;
    }

    void profileTracksComeBackWhole()
    {
        QFETCH(TrackOut, track);
        TrackOut other = track;
        other.id = u"t2"_s;
        other.title = u"Другая"_s;
        const QList<ArtistProfile> profiles = ArtistCatalogLogic::buildCatalog({track, other, track}, {});
        QCOMPARE(profiles.size(), 1);
        QCOMPARE(profiles.at(0).tracks.size(), 2);
        QCOMPARE(profiles.at(0).tracks.at(0), track);
        QCOMPARE(profiles.at(0).tracks.at(0).createdAt.has_value(), track.createdAt.has_value());
        QCOMPARE(profiles.at(0).tracks.at(1), other);
    }

    void coverIsTheFirstMet()
    {
        // Track covers of the track pass come first, then an album's cover
        // before the covers of that album's tracks.
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {
                makeTrack(u"t1"_s, u"A"_s),
                withCover(makeTrack(u"t2"_s, u"A"_s), u"a2.jpg"_s),
                withCover(makeTrack(u"t3"_s, u"A"_s), u"a3.jpg"_s),
                withCover(makeTrack(u"t4"_s, u"B"_s, u"al1"_s), u"b4.jpg"_s),
                makeTrack(u"t5"_s, u"C"_s, u"al2"_s),
            },
            {makeAlbum(u"al1"_s, u"D & A"_s, {}, u"al1.jpg"_s), makeAlbum(u"al2"_s, u"C"_s, {}, u"al2.jpg"_s)});
        QCOMPARE(profileNamed(profiles, u"A"_s).coverUrl, u"a2.jpg"_s);
        QCOMPARE(profileNamed(profiles, u"B"_s).coverUrl, u"b4.jpg"_s);
        QCOMPARE(profileNamed(profiles, u"C"_s).coverUrl, u"al2.jpg"_s);
        QCOMPARE(profileNamed(profiles, u"D"_s).coverUrl, u"al1.jpg"_s);
    }

    // A repeated album entry under another credit still hands its tracks to
    // the artists of that credit.
    void repeatedAlbumEntry()
    {
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"X"_s, u"al1"_s)}, {makeAlbum(u"al1"_s, u"A"_s), makeAlbum(u"al1"_s, u"A & B"_s)});
        QCOMPARE(idsOf(profileNamed(profiles, u"A"_s).tracks), QStringList {u"t1"_s});
        QCOMPARE(idsOf(profileNamed(profiles, u"B"_s).tracks), QStringList {u"t1"_s});
    }

    void profilesInLocaleOrder()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const auto profiles = ArtistCatalogLogic::buildCatalog(
            {makeTrack(u"t1"_s, u"banana"_s), makeTrack(u"t2"_s, u"Cherry"_s), makeTrack(u"t3"_s, u"apple"_s),
                makeTrack(u"t4"_s, u"Ёж"_s), makeTrack(u"t5"_s, u"éclair"_s)},
            {});
        QLocale::setDefault(QLocale::c());
        QCOMPARE(namesOf(profiles), (QStringList {u"apple"_s, u"banana"_s, u"Cherry"_s, u"éclair"_s, u"Ёж"_s}));
    }

    void albumKindByTrackCount()
    {
        const AlbumOut album = makeAlbum(u"al1"_s, u"A"_s, utcDate(2024, 5, 1), u"al1.jpg"_s);
        for (const auto &[count, label] : {std::pair {2, u"Сингл"_s}, {3, u"EP"_s}, {6, u"EP"_s}, {7, u"Альбом"_s}}) {
            // The album's tracks count whoever is credited on them.
            QList<TrackOut> tracks {makeTrack(u"loose"_s, u"Other"_s)};
            for (int i = 0; i < count; ++i)
                tracks.append(makeTrack(u"t%1"_s.arg(i), i % 2 ? u"Guest"_s : u"A"_s, u"al1"_s));
            const auto latest = latestOf(tracks, {album});
            QVERIFY(latest);
            QCOMPARE(latest->kindLabel, label);
            QCOMPARE(latest->id(), u"album-al1"_s);
            QCOMPARE(latest->artistLine, u"A"_s);
        }
    }

    void singleRelease()
    {
        const TrackOut single
            = withCover(withDate(makeTrack(u"s1"_s, u"A feat. B"_s, {}, u"Hit"_s), utcDate(2024, 2, 1)), u"s1.jpg"_s);
        const auto latest = latestOf({single}, {});
        QVERIFY(latest);
        QCOMPARE(latest->id(), u"track-s1"_s);
        QCOMPARE(latest->kindLabel, u"Сингл"_s);
        QCOMPARE(latest->artistLine, u"A feat. B"_s);
        QCOMPARE(latest->coverUrl, u"s1.jpg"_s);
        // The featured artist's latest release is not someone else's single.
        QVERIFY(!latestOf({single}, {}, u"B"_s));
    }

    void latestReleaseChoice_data()
    {
        QTest::addColumn<QList<TrackOut>>("tracks");
        QTest::addColumn<QList<AlbumOut>>("albums");
        QTest::addColumn<QString>("expected"); // release id, empty for none

        const auto d1 = utcDate(2024, 1, 1);
        const auto d2 = utcDate(2024, 6, 1);
        const auto onAlbum = makeTrack(u"ta"_s, u"A"_s, u"al1"_s);
        QTest::newRow("album and single on the same day: album")
            << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"A"_s), d1), onAlbum}
            << QList<AlbumOut> {makeAlbum(u"al1"_s, u"A"_s, d1)} << u"album-al1"_s;
        QTest::newRow("newer single beats album") << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"A"_s), d2), onAlbum}
                                                  << QList<AlbumOut> {makeAlbum(u"al1"_s, u"A"_s, d1)} << u"track-s1"_s;
        QTest::newRow("undated album, dated single: single")
            << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"A"_s), d1), onAlbum}
            << QList<AlbumOut> {makeAlbum(u"al1"_s, u"A"_s)} << u"track-s1"_s;
        QTest::newRow("dated album, undated single: album")
            << QList<TrackOut> {makeTrack(u"s1"_s, u"A"_s), onAlbum}
            << QList<AlbumOut> {makeAlbum(u"al1"_s, u"A"_s, d1)} << u"album-al1"_s;
        QTest::newRow("singles on the same day: the first")
            << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"A"_s), d1), withDate(makeTrack(u"s2"_s, u"A"_s), d1)}
            << QList<AlbumOut> {} << u"track-s1"_s;
        QTest::newRow("undated singles: the last")
            << QList<TrackOut> {makeTrack(u"s1"_s, u"A"_s), makeTrack(u"s2"_s, u"A"_s), makeTrack(u"s3"_s, u"A"_s)}
            << QList<AlbumOut> {} << u"track-s3"_s;
        QTest::newRow("a dated single among undated ones stays") << QList<TrackOut> {makeTrack(u"s1"_s, u"A"_s),
            withDate(makeTrack(u"s2"_s, u"A"_s), d1), makeTrack(u"s3"_s, u"A"_s)}
                                                                 << QList<AlbumOut> {} << u"track-s2"_s;
        QTest::newRow("album tracks are no singles")
            << QList<TrackOut> {withDate(makeTrack(u"t1"_s, u"A"_s, u"gone"_s), d2)} << QList<AlbumOut> {} << QString();
        QTest::newRow("single led by another artist is no candidate")
            << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"B & A"_s), d2)} << QList<AlbumOut> {} << QString();
        QTest::newRow("album linked through a track only is no candidate")
            << QList<TrackOut> {makeTrack(u"t1"_s, u"A"_s, u"al1"_s)}
            << QList<AlbumOut> {makeAlbum(u"al1"_s, u"B"_s, d1)} << QString();
        // Which of two equal albums wins is ours to choose: the one linked first.
        QTest::newRow("albums on the same day: the one linked first")
            << QList<TrackOut> {makeTrack(u"t1"_s, u"A"_s, u"al2"_s)}
            << QList<AlbumOut> {makeAlbum(u"al1"_s, u"A"_s, d1), makeAlbum(u"al2"_s, u"A"_s, d1)} << u"album-al2"_s;
        QTest::newRow("featured guest single ignores bracketed guests")
            << QList<TrackOut> {withDate(makeTrack(u"s1"_s, u"A (feat. B)"_s), d1)} << QList<AlbumOut> {}
            << u"track-s1"_s;
    }
    void latestReleaseChoice()
    {
        QFETCH(QList<TrackOut>, tracks);
        QFETCH(QList<AlbumOut>, albums);
        QFETCH(QString, expected);
        const auto latest = latestOf(tracks, albums);
        QCOMPARE(latest ? latest->id() : QString(), expected);
    }

    void findProfile()
    {
        QList<ArtistProfile> profiles;
        for (const QString &n : {u"A"_s, u"B"_s, u"Tect"_s, u"a & b"_s}) {
            ArtistProfile profile;
            profile.id = profile.name = n;
            profiles.append(profile);
        }
        const auto found = [&](const QString &name) {
            const auto match = ArtistCatalogLogic::findProfile(name, profiles);
            return match ? match->profile.name : QString();
        };
        QCOMPARE(found(u"ТЕСТ"_s), u"Tect"_s);
        QCOMPARE(found(u"A feat. B"_s), u"A"_s); // the first known name of a credit
        QCOMPARE(found(u"X & B"_s), u"B"_s);
        QCOMPARE(found(u"A & B"_s), u"a & b"_s); // the whole name before its parts
        QCOMPARE(found(u"X, Y"_s), QString());
    }

    void releaseDate()
    {
        const QStringList expected {u"1 января 2024 г."_s, u"2 февраля 2024 г."_s, u"3 марта 2024 г."_s,
            u"4 апреля 2024 г."_s, u"5 мая 2024 г."_s, u"6 июня 2024 г."_s, u"7 июля 2024 г."_s, u"8 августа 2024 г."_s,
            u"9 сентября 2024 г."_s, u"10 октября 2024 г."_s, u"11 ноября 2024 г."_s, u"12 декабря 2024 г."_s};
        for (int m = 1; m <= 12; ++m) {
            const QDateTime local(QDate(2024, m, m), QTime(12, 0));
            QCOMPARE(ArtistCatalogLogic::formatRuReleaseDate(local), expected.at(m - 1));
        }
        QCOMPARE(ArtistCatalogLogic::formatRuReleaseDate(std::nullopt), std::nullopt);
        QCOMPARE(ArtistCatalogLogic::formatRuReleaseDate(QDateTime()), std::nullopt);
        QCOMPARE(ArtistCatalogLogic::formatRuReleaseDate(QDateTime(QDate(987, 12, 31), QTime(0, 0))),
            u"31 декабря 987 г."_s);
    }

    // The day is the listener's local day, not the day in UTC.
    void releaseDateInLocalZone()
    {
        if (!QFile::exists(u"/usr/share/zoneinfo/Europe/Moscow"_s))
            QSKIP("no time zone data on this machine");
        const QByteArray oldTz = qgetenv("TZ");
        qputenv("TZ", "Europe/Moscow");
        tzset();
        const QDateTime utcEvening(QDate(2024, 3, 31), QTime(22, 30), QTimeZone::utc());
        const auto text = ArtistCatalogLogic::formatRuReleaseDate(utcEvening);
        if (oldTz.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldTz);
        tzset();
        QCOMPARE(text, u"1 апреля 2024 г."_s);
    }
};

QTEST_GUILESS_MAIN(TestArtistCatalog)
#include "tst_artistcatalog.moc"
