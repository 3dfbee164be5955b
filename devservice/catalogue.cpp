#include "catalogue.h"

#include "showcaseartists.h"

#include "catalogtext.h"
#include "seededrandom.h"

#include <QDateTime>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

constexpr quint64 kLayoutSalt = 0x4C41594F5554ULL;
constexpr quint64 kAlbumSalt = 0x414C42554DULL;
constexpr quint64 kTrackSalt = 0x545241434BULL;
constexpr quint64 kClipSalt = 0x434C4950ULL;
constexpr quint64 kLyricsSalt = 0x4C59524943ULL;
constexpr int kClipCount = 36;
constexpr int kBattleCount = 24;
// The one clip whose video is gone, for the player's failure path.
constexpr char kMissingClipId[] = "c0003";
// Releases are spread over the three years before this instant, newest first.
const qint64 kNewestReleaseMs = QDateTime(QDate(2026, 11, 30), QTime(18, 0), Qt::UTC).toMSecsSinceEpoch();
constexpr qint64 kReleaseSpanMs = 3LL * 365 * 24 * 3600 * 1000;
// The newest releases, newest first: S a single, A an album of
// kShowcaseAlbumTracks tracks (the first one holds t00002). Only catalogues
// with enough of both get it.
constexpr char kShowcase[] = "SASSASSSASSAS";
constexpr int kShowcaseAlbums = 4;
constexpr int kShowcaseSingles = 9;
constexpr int kShowcaseAlbumTracks = 2;
constexpr qint64 kShowcaseStepMs = 13LL * 12 * 3600 * 1000;
static_assert(sizeof(kShowcase) - 1 == kShowcaseAlbums + kShowcaseSingles);
// Every so many tracks and albums carry a title too long for one line
// (t00014 and a0003 among the newest).
constexpr int kLongTitleEvery = 41;
constexpr int kLongTitleOffset = 13;
constexpr int kLongAlbumTitleOffset = 2;

// The first tracks have fixed properties that tests and the README name.
struct Fixture
{
    int durationSeconds;
    bool flac;
    LyricsSource lyrics;
    DateShape dateShape = DateShape::UtcMillis;
    bool hasCover = true;
    const char16_t *artist = nullptr;
    const char16_t *title = nullptr;
};

const Fixture kFixtures[] = {
    {8, false, LyricsSource::OwnLrc},
    {6, true, LyricsSource::OwnPlain},
    {12, false, LyricsSource::ServiceSynced},
    {15, true, LyricsSource::ServicePlain},
    {10, false, LyricsSource::ServiceInstrumental},
    {14, false, LyricsSource::ServiceMissing},
    {11, false, LyricsSource::ServiceSearchOnly},
    {185, true, LyricsSource::OwnLrc},
    {240, false, LyricsSource::OwnPlain},
    {200, false, LyricsSource::ServiceSynced, DateShape::UtcMillis, false},
    {150, false, LyricsSource::ServiceMissing, DateShape::None},
    {210, true, LyricsSource::ServicePlain, DateShape::Bare},
    {175, false, LyricsSource::OwnLrc, DateShape::OffsetMicros, true, u"Mokko feat. Сахар"},
    {190, false, LyricsSource::ServiceSynced, DateShape::UtcMillis, true, u"Caxap & Nova Static"},
    {220, false, LyricsSource::OwnPlain, DateShape::UtcMillis, true, u"Лёша Север и Вика Ветер"},
    {160, false, LyricsSource::ServiceSynced, DateShape::UtcMillis, true, u"Crafty Loop x Foxx"},
    {205, false, LyricsSource::OwnLrc, DateShape::UtcMillis, true, u"Мокко", u"Ночной город (feat. Dusk/Dawn)"},
    {230, true, LyricsSource::ServicePlain, DateShape::UtcMillis, true, u"Volt+Age, Кира Норд & Jade Orbit"},
    {195, false, LyricsSource::ServiceMissing, DateShape::UtcMillis, true, u"Defeated Sun (feat. Exit Plan)"},
    {250, false, LyricsSource::ServiceSynced, DateShape::UtcMillis, true, u"MOKKO ft Kocmoc"},
};

QString numberedId(QChar prefix, int number, int width)
{
    return prefix + QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

std::optional<int> parseNumberedId(const QString &id, QChar prefix, int width, int count)
{
    if (id.size() < 2 || id.at(0) != prefix)
        return std::nullopt;
    bool ok = false;
    const int number = id.mid(1).toInt(&ok);
    if (!ok || number < 1 || number > count || numberedId(prefix, number, width) != id)
        return std::nullopt;
    return number - 1;
}

DateShape randomShape(SeededRandom &r)
{
    const int roll = r.below(100);
    if (roll < 60)
        return DateShape::UtcMillis;
    if (roll < 75)
        return DateShape::OffsetMicros;
    if (roll < 97)
        return DateShape::Bare;
    return DateShape::None;
}

LyricsSource randomLyrics(SeededRandom &r)
{
    const int roll = r.below(100);
    if (roll < 15)
        return LyricsSource::OwnLrc;
    if (roll < 30)
        return LyricsSource::OwnPlain;
    if (roll < 50)
        return LyricsSource::ServiceSynced;
    if (roll < 60)
        return LyricsSource::ServicePlain;
    if (roll < 65)
        return LyricsSource::ServiceInstrumental;
    if (roll < 70)
        return LyricsSource::ServiceSearchOnly;
    return LyricsSource::ServiceMissing;
}

quint64 fnv1a(const QString &text)
{
    quint64 hash = 0xCBF29CE484222325ULL;
    for (const char c : text.toUtf8()) {
        hash ^= quint8(c);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

} // namespace

Catalogue::Catalogue(int trackCount, int albumCount, quint64 seed) : m_seed(seed)
{
    layOut(qMax(0, trackCount), qMax(0, albumCount));
    fillAlbums();
    fillTracks();
    showcase::apply(m_tracks, m_albums, int(std::size(kFixtures)));
    fillClips();
}

void Catalogue::layOut(int trackCount, int albumCount)
{
    m_tracks.resize(trackCount);
    m_albums.resize(albumCount);
    SeededRandom r(m_seed ^ kLayoutSalt);

    const int singles = albumCount == 0 ? trackCount : qMin(trackCount, qMax(1, trackCount / 25));
    const int albumTracks = trackCount - singles;
    QVector<int> sizes(albumCount, 0);
    if (albumCount > 0) {
        const int base = albumTracks / albumCount;
        for (int a = 0; a < albumCount; ++a)
            sizes[a] = base + (a < albumTracks % albumCount ? 1 : 0);
        // Neighbours trade tracks so album lengths vary while the sum stays.
        for (int a = 0; a + 1 < albumCount && base >= 2; a += 2) {
            const int shift = r.below(base / 2 + 1);
            sizes[a] += shift;
            sizes[a + 1] -= shift;
        }
    }

    // The newest releases are laid out by hand, so that a listener's first
    // screen shows a believable mix: singles and short albums, days to weeks
    // apart over the last months (see kShowcase).
    const bool showcase = albumCount >= 2 * kShowcaseAlbums && singles > kShowcaseSingles;
    if (showcase) {
        for (int a = 0; a < kShowcaseAlbums; ++a) {
            const int excess = sizes[a] - kShowcaseAlbumTracks;
            if (excess > 0) {
                sizes[a] -= excess;
                sizes[a + kShowcaseAlbums] += excess;
            }
        }
    }

    // Release order, newest first: one single, then the first album, then
    // the rest mixed. Album ids follow the order of release.
    QVector<bool> isAlbum;
    isAlbum.reserve(singles + albumCount);
    if (showcase) {
        for (const char kind : kShowcase)
            isAlbum.append(kind == 'A');
    } else {
        if (singles > 0)
            isAlbum.append(false);
        if (albumCount > 0)
            isAlbum.append(true);
    }
    const int fixedHead = int(isAlbum.size());
    const int headAlbums = int(std::count(isAlbum.cbegin(), isAlbum.cend(), true));
    for (int i = fixedHead - headAlbums; i < singles; ++i)
        isAlbum.append(false);
    for (int i = headAlbums; i < albumCount; ++i)
        isAlbum.append(true);
    for (int i = int(isAlbum.size()) - 1; i > fixedHead; --i)
        std::swap(isAlbum[i], isAlbum[fixedHead + r.below(i - fixedHead + 1)]);

    // The showcase releases lie a week or so apart; the rest share what is
    // left of the span evenly.
    const int spaced = showcase ? fixedHead : 0;
    const qint64 restNewest = kNewestReleaseMs - spaced * kShowcaseStepMs;
    const qint64 step
        = qMax<qint64>(60000, (kReleaseSpanMs - spaced * kShowcaseStepMs) / qMax(1, int(isAlbum.size()) - spaced));
    int cursor = 0;
    int nextAlbum = 0;
    for (int release = 0; release < isAlbum.size(); ++release) {
        const quint64 jitter = r.next();
        const qint64 date = release < spaced
            ? kNewestReleaseMs - release * kShowcaseStepMs - qint64(jitter % quint64(kShowcaseStepMs / 3))
            : restNewest - (release - spaced) * step - qint64(jitter % quint64(step / 2));
        if (!isAlbum[release]) {
            m_tracks[cursor].createdAtMs = date;
            ++cursor;
            continue;
        }
        AlbumRecord &album = m_albums[nextAlbum];
        album.createdAtMs = date;
        album.firstTrack = cursor;
        album.trackCount = sizes[nextAlbum];
        for (int n = 0; n < album.trackCount; ++n, ++cursor) {
            m_tracks[cursor].albumIndex = nextAlbum;
            m_tracks[cursor].trackNumber = n + 1;
            m_tracks[cursor].createdAtMs = date;
        }
        ++nextAlbum;
    }
}

void Catalogue::fillAlbums()
{
    for (int a = 0; a < m_albums.size(); ++a) {
        SeededRandom r(mixSeed(m_seed ^ kAlbumSalt, quint64(a)));
        AlbumRecord &album = m_albums[a];
        album.title = a % kLongTitleEvery == kLongAlbumTitleOffset ? catalogtext::longAlbumTitle(a / kLongTitleEvery)
                                                                    : catalogtext::albumTitle(r);
        album.artist = catalogtext::soloArtist(r);
        if (r.chance(15))
            album.artist += u" & "_s + catalogtext::otherArtist(r, {album.artist});
        const int year = QDateTime::fromMSecsSinceEpoch(album.createdAtMs, Qt::UTC).date().year();
        const int yearRoll = r.below(100);
        album.year = yearRoll < 3 ? 0 : yearRoll < 13 ? year - r.between(1, 20) : year;
        const int shape = r.below(100);
        album.dateShape = shape < 75 ? DateShape::UtcMillis : shape < 90 ? DateShape::OffsetMicros : DateShape::Bare;
    }
}

void Catalogue::fillTracks()
{
    for (int i = 0; i < m_tracks.size(); ++i) {
        SeededRandom r(mixSeed(m_seed ^ kTrackSalt, quint64(i)));
        TrackRecord &t = m_tracks[i];
        t.durationSeconds = r.between(90, 300);
        t.flac = r.chance(10);
        t.hasCover = !r.chance(2);
        t.lyrics = randomLyrics(r);
        t.dateShape = randomShape(r);
        const Fixture *fixture = i < int(std::size(kFixtures)) ? &kFixtures[i] : nullptr;
        if (fixture) {
            t.durationSeconds = fixture->durationSeconds;
            t.flac = fixture->flac;
            t.hasCover = fixture->hasCover;
            t.lyrics = fixture->lyrics;
            t.dateShape = fixture->dateShape;
        }
        t.title = catalogtext::trackTitle(
            r, t.lyrics == LyricsSource::ServiceMissing ? TitleSet::Unknown : TitleSet::Known);
        if (t.albumIndex < 0) {
            t.artist = catalogtext::credit(r);
        } else {
            const QString &albumArtist = m_albums.at(t.albumIndex).artist;
            const int roll = r.below(100);
            t.artist = roll < 70 ? albumArtist
                : roll < 90      ? albumArtist + u" feat. "_s + catalogtext::otherArtist(r, albumArtist.split(u" & "_s))
                                 : catalogtext::credit(r);
        }
        if (fixture && fixture->artist)
            t.artist = QString::fromUtf16(fixture->artist);
        if (fixture && fixture->title)
            t.title = QString::fromUtf16(fixture->title);
        else if (i % kLongTitleEvery == kLongTitleOffset)
            t.title += catalogtext::longTitleTail(i / kLongTitleEvery);
    }
}

void Catalogue::fillClips()
{
    for (int i = 0; i < kClipCount + kBattleCount; ++i) {
        SeededRandom r(mixSeed(m_seed ^ kClipSalt, quint64(i)));
        ClipRecord clip;
        const bool battle = i >= kClipCount;
        clip.kind = battle ? u"battle"_s : u"clip"_s;
        clip.id = battle ? numberedId(QLatin1Char('b'), i - kClipCount + 1, 4) : numberedId(QLatin1Char('c'), i + 1, 4);
        if (battle) {
            const QString a = catalogtext::soloArtist(r);
            QString b = catalogtext::soloArtist(r);
            if (b == a)
                b = u"Lumen"_s;
            clip.title = u"Раунд %1: %2 против %3"_s.arg(r.between(1, 3)).arg(a, b);
            clip.artist = a + u", "_s + b;
        } else {
            clip.title = catalogtext::clipTitle(r);
            clip.artist = catalogtext::credit(r);
        }
        // Short videos: the service renders each one on first request.
        clip.durationSeconds = r.between(4, 8);
        clip.fileMissing = clip.id == QLatin1String(kMissingClipId);
        m_clips.append(clip);
    }
}

QString Catalogue::trackId(int index) const
{
    return numberedId(QLatin1Char('t'), index + 1, 5);
}

std::optional<int> Catalogue::trackIndex(const QString &id) const
{
    return parseNumberedId(id, QLatin1Char('t'), 5, trackCount());
}

QString Catalogue::trackFileUrl(int index) const
{
    return u"media/tracks/"_s + trackId(index) + (m_tracks.at(index).flac ? u".flac"_s : u".wav"_s);
}

QString Catalogue::trackCoverUrl(int index) const
{
    const TrackRecord &t = m_tracks.at(index);
    if (!t.hasCover)
        return QString();
    if (t.albumIndex >= 0)
        return albumCoverUrl(t.albumIndex);
    return u"media/covers/"_s + trackId(index) + u".png"_s;
}

QString Catalogue::ownLyrics(int index) const
{
    const TrackRecord &t = m_tracks.at(index);
    const quint64 seed = mixSeed(m_seed ^ kLyricsSalt, quint64(index));
    if (t.lyrics == LyricsSource::OwnLrc)
        return catalogtext::lrcLyrics(seed, t.durationSeconds);
    if (t.lyrics == LyricsSource::OwnPlain)
        return catalogtext::plainLyrics(seed);
    return QString();
}

QString Catalogue::serviceSyncedLyrics(int index) const
{
    const TrackRecord &t = m_tracks.at(index);
    if (t.lyrics != LyricsSource::ServiceSynced && t.lyrics != LyricsSource::ServiceSearchOnly)
        return QString();
    return catalogtext::lrcLyrics(mixSeed(m_seed ^ kLyricsSalt, quint64(index)), t.durationSeconds);
}

QString Catalogue::servicePlainLyrics(int index) const
{
    const TrackRecord &t = m_tracks.at(index);
    if (t.lyrics == LyricsSource::ServicePlain)
        return catalogtext::plainLyrics(mixSeed(m_seed ^ kLyricsSalt, quint64(index)));
    const QString synced = serviceSyncedLyrics(index);
    if (synced.isEmpty())
        return QString();
    // The service derives plain lyrics from synced ones by dropping stamps.
    QStringList rows = synced.split(QLatin1Char('\n'));
    for (QString &row : rows)
        row = row.mid(row.indexOf(QLatin1Char(']')) + 1);
    return rows.join(QLatin1Char('\n'));
}

int Catalogue::serviceDurationSeconds(int index) const
{
    const TrackRecord &t = m_tracks.at(index);
    return t.lyrics == LyricsSource::ServiceSearchOnly ? t.durationSeconds + 40 : t.durationSeconds;
}

QString Catalogue::albumId(int index) const
{
    return numberedId(QLatin1Char('a'), index + 1, 4);
}

std::optional<int> Catalogue::albumIndex(const QString &id) const
{
    return parseNumberedId(id, QLatin1Char('a'), 4, albumCount());
}

QString Catalogue::albumCoverUrl(int index) const
{
    return u"media/covers/"_s + albumId(index) + u".png"_s;
}

QStringList Catalogue::featuredArtistNames() const
{
    // Spelled differently from the credits on purpose: the client matches
    // names by key, not by text.
    return {u"Мокко"_s, u"nova static"_s, u"Kocmoc"_s, u"Lumen"_s, u"Кира Норд"_s};
}

quint64 Catalogue::mediaSeed(const QString &id) const
{
    return m_seed ^ fnv1a(id);
}

const ClipRecord *Catalogue::clip(const QString &id) const
{
    for (const ClipRecord &clip : m_clips) {
        if (clip.id == id)
            return &clip;
    }
    return nullptr;
}

bool Catalogue::hasCover(const QString &id) const
{
    if (const auto t = trackIndex(id))
        return m_tracks.at(*t).hasCover && m_tracks.at(*t).albumIndex < 0;
    if (albumIndex(id))
        return true;
    return clip(id) != nullptr;
}

} // namespace devservice
