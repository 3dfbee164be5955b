// Derives the artist catalogue of generated catalogues of 10,000, 100,000 and
// 1,000,000 tracks (one album per ten tracks) and prints time and peak memory
// per size, so that linear growth shows as a constant cost per track.
//
//   build/bench/bench_artistcatalog            all sizes, with the table
//   build/bench/bench_artistcatalog derive:10k one size

#include "artists/artistcataloglogic.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>
#include <malloc.h>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

struct Catalogue
{
    QList<TrackOut> tracks;
    QList<AlbumOut> albums;
};

// Credits mix single names with every kind of separator and some Cyrillic
// spellings, so the splitting and keying work as they would on real credits.
Catalogue generate(qsizetype trackCount)
{
    QRandomGenerator random(20240501);
    const qsizetype artistCount = std::max<qsizetype>(100, trackCount / 20);
    QStringList artists;
    artists.reserve(artistCount);
    for (qsizetype i = 0; i < artistCount; ++i)
        artists.append((i % 7 == 0 ? u"Артист %1"_s : u"Artist %1"_s).arg(i));
    const auto anyArtist = [&] { return artists.at(random.bounded(int(artistCount))); };
    const auto credit = [&](const QString &primary) {
        const int kind = random.bounded(100);
        if (kind < 70)
            return primary;
        if (kind < 82)
            return primary + u" feat. "_s + anyArtist();
        if (kind < 90)
            return primary + u" & "_s + anyArtist();
        if (kind < 95)
            return primary + u", "_s + anyArtist() + u" x "_s + anyArtist();
        return primary + u" и "_s + anyArtist();
    };
    const QDateTime epoch(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc());
    const auto date = [&]() -> std::optional<QDateTime> {
        if (random.bounded(100) < 5)
            return std::nullopt;
        return epoch.addSecs(qint64(random.bounded(5 * 365)) * 86400);
    };

    Catalogue catalogue;
    const qsizetype albumCount = std::max<qsizetype>(1, trackCount / 10);
    QStringList albumPrimary;
    catalogue.albums.reserve(albumCount);
    for (qsizetype a = 0; a < albumCount; ++a) {
        const QString primary = anyArtist();
        albumPrimary.append(primary);
        AlbumOut album;
        album.id = u"al%1"_s.arg(a);
        album.title = u"Album %1"_s.arg(a);
        album.artist = random.bounded(100) < 70 ? primary : primary + u" & "_s + anyArtist();
        album.year = 2020 + random.bounded(5);
        album.coverUrl = u"covers/al%1.jpg"_s.arg(a);
        album.createdAt = date();
        catalogue.albums.append(album);
    }

    catalogue.tracks.reserve(trackCount);
    for (qsizetype i = 0; i < trackCount; ++i) {
        TrackOut track;
        // A few ids come twice, as a catalogue that changed while being paged may give them.
        track.id
            = (i > 0 && random.bounded(1000) == 0) ? catalogue.tracks.at(random.bounded(int(i))).id : u"t%1"_s.arg(i);
        track.title = random.bounded(10) == 0 ? u"Track %1 (feat. %2)"_s.arg(i).arg(anyArtist()) : u"Track %1"_s.arg(i);
        track.durationSeconds = 120 + random.bounded(240);
        track.fileUrl = u"media/t%1.mp3"_s.arg(i);
        if (random.bounded(100) < 85) {
            const qsizetype a = random.bounded(int(albumCount));
            track.artist = credit(albumPrimary.at(a));
            track.albumId = catalogue.albums.at(a).id;
            track.coverUrl = catalogue.albums.at(a).coverUrl;
            track.trackNumber = 1 + random.bounded(12);
        } else {
            track.artist = credit(anyArtist());
            track.coverUrl = u"covers/t%1.jpg"_s.arg(i);
        }
        track.createdAt = date();
        catalogue.tracks.append(track);
    }
    return catalogue;
}

qint64 statusKiB(const QByteArray &field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Writing 5 to clear_refs starts the peak (VmHWM) again from the present size.
bool resetPeak()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

struct Row
{
    qsizetype tracks = 0;
    qsizetype albums = 0;
    qsizetype artists = 0;
    double msPerRun = 0;
    double inputMiB = 0;
    double peakMiB = 0;
    bool peakWasReset = false;
    double referenceNsPerTrack = 0;
};

// A plainly linear pass for comparison: one hash-map insert per track id.
// Its cost per track grows with the size as well, once the working set no
// longer fits the processor's caches; the derivation's growth follows it.
double referenceInsertTime(const QList<TrackOut> &tracks)
{
    QElapsedTimer timer;
    timer.start();
    QHash<QString, qsizetype> index;
    index.reserve(tracks.size());
    for (qsizetype i = 0; i < tracks.size(); ++i)
        index.insert(tracks.at(i).id, i);
    return double(timer.nsecsElapsed()) / double(tracks.size());
}

} // namespace

class BenchArtistCatalog : public QObject
{
    Q_OBJECT
    QMap<int, Row> m_rows; // by track count; QtTest runs a benchmark function more than once
    Catalogue m_catalogue; // kept while the same size runs again
    int m_catalogueSize = -1;

private slots:
    void derive_data()
    {
        QTest::addColumn<int>("trackCount");
        QTest::newRow("10k") << 10'000;
        QTest::newRow("100k") << 100'000;
        QTest::newRow("1M") << 1'000'000;
    }

    void derive()
    {
        QFETCH(int, trackCount);
        if (m_catalogueSize != trackCount) {
            m_catalogue = Catalogue();
            m_catalogue = generate(trackCount);
            m_catalogueSize = trackCount;
        }
        const Catalogue &catalogue = m_catalogue;

        Row row;
        row.tracks = catalogue.tracks.size();
        row.albums = catalogue.albums.size();
        // Hand what earlier runs freed back to the system, so that the
        // resident size is the input alone and the peak is this run's own.
        malloc_trim(0);
        row.referenceNsPerTrack = referenceInsertTime(catalogue.tracks);
        malloc_trim(0);
        row.peakWasReset = resetPeak();
        row.inputMiB = statusKiB("VmRSS") / 1024.0;

        qint64 nanoseconds = 0;
        int runs = 0;
        QElapsedTimer timer;
        // The time of the benchmark includes freeing the result; the table's
        // time is the derivation alone.
        QBENCHMARK
        {
            timer.start();
            const QList<ArtistProfile> profiles = ArtistCatalogLogic::buildCatalog(catalogue.tracks, catalogue.albums);
            nanoseconds += timer.nsecsElapsed();
            ++runs;
            row.artists = profiles.size();
        }
        row.msPerRun = nanoseconds / 1e6 / runs;
        row.peakMiB = statusKiB("VmHWM") / 1024.0;
        QVERIFY(row.artists > 0);
        m_rows.insert(trackCount, row);
    }

    // What the artist catalogue keeps of each track once the catalogue is
    // derived and the downloaded records are let go, as the store keeps it:
    // the profiles (with their track table) and the albums.
    void keptPerTrack_data() { derive_data(); }
    void keptPerTrack()
    {
        QFETCH(int, trackCount);
        m_catalogue = Catalogue();
        m_catalogueSize = -1;
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        Catalogue catalogue = generate(trackCount);
        const size_t input = mallinfo2().uordblks - before;
        QList<ArtistProfile> profiles = ArtistCatalogLogic::buildCatalog(catalogue.tracks, catalogue.albums);
        catalogue.tracks = QList<TrackOut>();
        const double kept = double(mallinfo2().uordblks - before);
        std::printf("%10d tracks: records as downloaded %6.0f B/track, kept %6.0f B/track (%.1f MiB)\n", trackCount,
            double(input) / trackCount, kept / trackCount, kept / 1024 / 1024);
        QVERIFY(!profiles.isEmpty());
    }

    // The page content of one artist from a derived catalogue, what an
    // artist page asks for each time it opens on a warm catalogue.
    void pageContent_data() { derive_data(); }
    void pageContent()
    {
        QFETCH(int, trackCount);
        if (m_catalogueSize != trackCount) {
            m_catalogue = generate(trackCount);
            m_catalogueSize = trackCount;
        }
        const QList<ArtistProfile> profiles = ArtistCatalogLogic::buildCatalog(m_catalogue.tracks, m_catalogue.albums);
        const QString name = profiles.value(profiles.size() / 2).name;
        std::optional<ArtistPageContent> page;
        QBENCHMARK
        {
            page = ArtistCatalogLogic::buildPage(name, profiles, m_catalogue.albums, {}, std::nullopt);
        }
        QVERIFY(page && !page->allTracks.isEmpty());
    }

    // Titles and credits of a megabyte: blank runs, unclosed featuring
    // groups and repeated keywords, read by the title and credit parsing of
    // the derivation.
    void parseLongTexts_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::newRow("blanks") << u" \t"_s;
        QTest::newRow("unclosed feat") << u"(feat x "_s;
        QTest::newRow("repeated feat") << u"feat "_s;
        QTest::newRow("blanks and brackets") << u"  ( feat  "_s;
    }

    void parseLongTexts()
    {
        QFETCH(QString, piece);
        const QString text = u"A "_s + piece.repeated((1 << 19) / piece.size()) + u"B"_s;
        TrackOut track;
        track.id = u"t1"_s;
        track.artist = text;
        track.title = u"Song "_s + text;
        QBENCHMARK
        {
            QVERIFY(!ArtistCatalogLogic::buildCatalog({track}, {}).isEmpty());
        }
    }

    void cleanupTestCase()
    {
        if (m_rows.isEmpty())
            return;
        std::printf("\n%10s %9s %8s %11s %9s %9s %10s %10s %12s\n", "tracks", "albums", "artists", "ms/derive",
            "ns/track", "ref ns/tr", "input MiB", "peak MiB", "extra B/trk");
        for (const Row &row : m_rows) {
            const double extraMiB = row.peakMiB - row.inputMiB;
            std::printf("%10lld %9lld %8lld %11.1f %9.0f %9.0f %10.1f %10.1f %12.0f%s\n", qint64(row.tracks),
                qint64(row.albums), qint64(row.artists), row.msPerRun, row.msPerRun * 1e6 / row.tracks,
                row.referenceNsPerTrack, row.inputMiB, row.peakMiB, extraMiB * 1024 * 1024 / row.tracks,
                row.peakWasReset ? "" : "  (peak of the whole run)");
        }
        std::printf("ns/track: derivation time per track; ref ns/tr: one hash-map insert per track id, a plainly\n"
                    "linear pass, for how memory latency alone raises the cost per track at larger sizes.\n"
                    "extra B/trk: peak resident memory of the derivation above the input, per track.\n\n");
        std::fflush(stdout);
    }
};

QTEST_GUILESS_MAIN(BenchArtistCatalog)
#include "bench_artistcatalog.moc"
