#pragma once

#include "servicedate.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace devservice {

// Where a track's lyrics come from, as the client will find out.
enum class LyricsSource : quint8 {
    OwnLrc, // the track's "lyrics" field, with time stamps
    OwnPlain, // the track's "lyrics" field, plain text
    ServiceSynced, // the lyrics service has synced (and plain) lyrics
    ServicePlain, // the lyrics service has plain lyrics only
    ServiceInstrumental, // the lyrics service knows it as instrumental
    ServiceSearchOnly, // known under another duration: "/api/get" misses, a search finds it
    ServiceMissing, // nobody has lyrics for it
};

struct TrackRecord
{
    QString title;
    QString artist;
    int albumIndex = -1; // -1 for a single
    int trackNumber = 0; // 0 for a single
    int durationSeconds = 0;
    qint64 createdAtMs = 0;
    DateShape dateShape = DateShape::None;
    bool flac = false;
    bool hasCover = true;
    LyricsSource lyrics = LyricsSource::ServiceMissing;
};

struct AlbumRecord
{
    QString title;
    QString artist;
    int year = 0; // 0: unknown
    qint64 createdAtMs = 0;
    DateShape dateShape = DateShape::None;
    int firstTrack = 0;
    int trackCount = 0;
};

struct ClipRecord
{
    QString id;
    QString title;
    QString artist;
    int durationSeconds = 0; // the length of the generated video
    QString kind; // "clip" or "battle"
    // Listed with a file address that answers 404.
    bool fileMissing = false;

    QString fileUrl() const { return QStringLiteral("media/clips/") + id + QStringLiteral(".avi"); }
    QString coverUrl() const { return QStringLiteral("media/covers/") + id + QStringLiteral(".png"); }
};

// The generated catalogue. Built once from a fixed seed and read-only
// afterwards, so request threads share it without locking. Titles and
// credits are kept; lyrics and media are derived on demand from the seed.
class Catalogue
{
public:
    static constexpr quint64 kDefaultSeed = 0x4E494D4252410001ULL;

    Catalogue(int trackCount, int albumCount, quint64 seed = kDefaultSeed);

    int trackCount() const { return int(m_tracks.size()); }
    const TrackRecord &track(int index) const { return m_tracks.at(index); }
    QString trackId(int index) const;
    std::optional<int> trackIndex(const QString &id) const;
    QString trackFileUrl(int index) const;
    QString trackCoverUrl(int index) const; // empty when the track has none
    QString ownLyrics(int index) const; // empty unless the source is Own*
    // The lyrics service's texts of a track; empty when it has none of that kind.
    QString serviceSyncedLyrics(int index) const;
    QString servicePlainLyrics(int index) const;
    // The duration under which the lyrics service lists the track.
    int serviceDurationSeconds(int index) const;

    int albumCount() const { return int(m_albums.size()); }
    const AlbumRecord &album(int index) const { return m_albums.at(index); }
    QString albumId(int index) const;
    std::optional<int> albumIndex(const QString &id) const;
    QString albumCoverUrl(int index) const;

    const QList<ClipRecord> &clips() const { return m_clips; }
    const ClipRecord *clip(const QString &id) const;
    QStringList featuredArtistNames() const;

    // Seed for rendering the media of an id ("t00001", "a0001", "c0001", ...).
    quint64 mediaSeed(const QString &id) const;
    // Whether a cover exists under that id.
    bool hasCover(const QString &id) const;

private:
    void layOut(int trackCount, int albumCount);
    void fillAlbums();
    void fillTracks();
    void applyFixtures();
    void fillClips();

    quint64 m_seed;
    QVector<TrackRecord> m_tracks;
    QVector<AlbumRecord> m_albums;
    QList<ClipRecord> m_clips;
};

} // namespace devservice
