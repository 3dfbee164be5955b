#include "artistfixtures.h"
#include "artists/artistcataloglogic.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

struct Catalogue
{
    QList<TrackOut> tracks;
    QList<AlbumOut> albums;
};

// Many artists in Latin and Cyrillic letters and other letter case, the
// aliased stage name, every kind of credit, featuring titles, repeated track
// ids and album entries, tracks without albums and undated releases.
Catalogue generate(quint32 seed, int trackCount)
{
    QRandomGenerator random(seed);
    const QStringList artists {u"Tect"_s, u"ТЕСТ"_s, u"tECT"_s, u"Скриптонит"_s, u"Scriptonite"_s, u"Alex"_s,
        u"Бета"_s, u"beta"_s, u"Crafty"_s, u"Defeated"_s, u"Ёж"_s, u"Zed"_s, u"ank"_s, u"Ank"_s, u"Oмега"_s,
        u"Mx"_s, u"AC/DC"_s, u"Ирина"_s, u"Écho"_s, u"echo"_s};
    const auto any = [&] {
        if (random.bounded(3) == 0)
            return (random.bounded(2) ? u"Артист %1"_s : u"artist %1"_s).arg(random.bounded(300));
        return artists.at(random.bounded(int(artists.size())));
    };
    const QStringList joins {u" feat. "_s, u" & "_s, u", "_s, u" x "_s, u" и "_s, u" / "_s, u" FT "_s, u"; "_s};
    const auto credit = [&] {
        QString text = any();
        for (int more = random.bounded(4) - 1; more > 0; --more)
            text += joins.at(random.bounded(int(joins.size()))) + any();
        if (random.bounded(8) == 0)
            text += u" (feat. "_s + any() + u")"_s;
        return random.bounded(30) == 0 ? QString() : text;
    };
    const auto date = [&]() -> std::optional<QDateTime> {
        if (random.bounded(6) == 0)
            return std::nullopt;
        return utcDate(2020 + random.bounded(3), 1 + random.bounded(12), 1 + random.bounded(3));
    };

    Catalogue catalogue;
    const int albumCount = trackCount * 2 / 25;
    for (int a = 0; a < albumCount; ++a) {
        // A few album ids come twice, under other credits.
        const QString id = u"al%1"_s.arg(random.bounded(10) == 0 ? random.bounded(a + 1) : a);
        catalogue.albums.append(makeAlbum(id, credit(), date(), u"covers/%1-%2.jpg"_s.arg(id).arg(a)));
    }
    for (int t = 0; t < trackCount; ++t) {
        const QString id = u"t%1"_s.arg(random.bounded(25) == 0 ? random.bounded(t + 1) : t);
        std::optional<QString> album;
        if (random.bounded(10) < 7)
            album = u"al%1"_s.arg(random.bounded(albumCount + 10));
        QString title = u"Song %1"_s.arg(t);
        if (random.bounded(6) == 0)
            title += (random.bounded(2) ? u" (feat. "_s + credit() + u")"_s : u" ft. "_s + credit());
        TrackOut track = withDate(makeTrack(id, credit(), album, title), date());
        if (random.bounded(3) == 0)
            track.coverUrl = u"covers/%1.jpg"_s.arg(t);
        catalogue.tracks.append(track);
    }
    return catalogue;
}

QString ids(const auto &records)
{
    QStringList list;
    for (const auto &record : records)
        list.append(record.id);
    return list.join(u',');
}

// Everything the derivation gives, profile by profile and page by page.
QByteArray dump(const Catalogue &catalogue)
{
    QStringList lines;
    const QList<ArtistProfile> profiles = ArtistCatalogLogic::buildCatalog(catalogue.tracks, catalogue.albums);
    UserOut user;
    user.username = u"beta"_s;
    const QStringList featured {u"TECT"_s, u"ank"_s};
    for (const ArtistProfile &profile : profiles) {
        QStringList albumIds(profile.albumIds.begin(), profile.albumIds.end());
        albumIds.sort();
        QString latest = u"-"_s;
        if (const auto &release = profile.latestRelease) {
            latest = release->id() + u'|' + release->title + u'|' + release->artistLine + u'|'
                + release->coverUrl.value_or(u"-"_s) + u'|'
                + QString::number(release->date ? release->date->toMSecsSinceEpoch() : -1) + u'|' + release->kindLabel;
        }
        lines << profile.id + u'|' + profile.name + u'|' + profile.coverUrl.value_or(u"-"_s) + u'|'
                + ids(profile.tracks) + u'|' + albumIds.join(u',') + u'|' + latest;
        for (const QString &asked : {profile.name, profile.name.toUpper() + u" & X"_s}) {
            const auto page = ArtistCatalogLogic::buildPage(asked, profiles, catalogue.albums, featured, user);
            if (!page) {
                lines << u"no page"_s;
                continue;
            }
            lines << QStringList {page->resolvedName, ids(page->artAlbums), ids(page->featAlbums), ids(page->singles),
                ids(page->albumTracks), ids(page->featSingles), ids(page->featTitleAlbumTracks),
                ids(page->featAlbumTracks), ids(page->allTracks), QString::number(page->isFeatured),
                QString::number(page->isMine)}
                         .join(u'|');
        }
    }
    return lines.join(u'\n').toUtf8();
}

} // namespace

// The derivation's output for fixed generated catalogues, as a digest of its
// full text: a faster derivation must give exactly the same.
class TestArtistCatalogFingerprint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void sameOutput_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("tracks");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("seed 1") << 1u << 1500 << QByteArray("1ffde01a4415a8d9fa18e5fff09333e9639ad10f7f19f1c9c3480d3eca3b7329");
        QTest::newRow("seed 2") << 2u << 1500 << QByteArray("7b1c1956bf3cab18f1a613d9f5a7977586394b51b76dd0a1d5f08df7ef9141c3");
        QTest::newRow("seed 3") << 3u << 1500 << QByteArray("40535c637df4f531875f8075f2de3fd119b5bdadb8a0792b1e7d3604adeb4eaf");
        // Credits enough for the splitting to take several blocks, ids enough for many pieces per core.
        QTest::newRow("seed 4, 60k tracks") << 4u << 60000
                                            << QByteArray("c4f4e6c230283b1e30e7c135d6b011077d88e16c775b06dec1f6203f059cd58f");
    }
    void sameOutput()
    {
        QFETCH(quint32, seed);
        QFETCH(int, tracks);
        QFETCH(QByteArray, digest);
        const QByteArray text = dump(generate(seed, tracks));
        QCOMPARE(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(), digest);

        // The catalogue store derives on a worker of the shared pool; the
        // derivation's own parallel steps must finish there too, also when
        // that worker is the pool's only thread.
        QThreadPool *pool = QThreadPool::globalInstance();
        const int threads = pool->maxThreadCount();
        pool->setMaxThreadCount(1);
        const QByteArray onWorker = QtConcurrent::run([seed, tracks] { return dump(generate(seed, tracks)); }).result();
        pool->setMaxThreadCount(threads);
        QCOMPARE(onWorker, text);
    }
};

QTEST_GUILESS_MAIN(TestArtistCatalogFingerprint)
#include "tst_artistcatalogfingerprint.moc"
