#pragma once

#include "api/trackout.h"

#include <variant>

namespace nimbra {

// An album. Albums are the same album when their ids are equal.
struct AlbumOut
{
    QString id;
    QString title;
    QString artist;
    std::optional<qint64> year;
    std::optional<QString> coverUrl;
    std::optional<QDateTime> createdAt;

    bool operator==(const AlbumOut &other) const { return id == other.id; }

    // The cover's full address; empty when there is none or it does not resolve.
    QString coverAddress() const;

    static AlbumOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};
inline size_t qHash(const AlbumOut &album, size_t seed = 0)
{
    return qHash(album.id, seed);
}

// A music video, or an entry of a video battle.
struct ClipOut
{
    QString id;
    QString title;
    QString artist;
    qint64 durationSeconds = 0;
    QString fileUrl;
    std::optional<QString> coverUrl;
    QString kind;
    bool isFavorite = false;

    bool operator==(const ClipOut &other) const = default;

    static ClipOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};
size_t qHash(const ClipOut &clip, size_t seed = 0);

struct TrackPage
{
    QList<TrackOut> items;
    qint64 total = 0;
    qint64 page = 0;
    qint64 size = 0;
    qint64 pages = 0;

    static TrackPage fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct ClipPage
{
    QList<ClipOut> items;
    qint64 total = 0;
    std::optional<qint64> page;
    std::optional<qint64> size;
    std::optional<qint64> pages;

    static ClipPage fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct SearchResults
{
    QList<TrackOut> tracks;
    QList<AlbumOut> albums;

    static SearchResults fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

// One card of the home page's new releases; built by the client.
struct HomeReleaseItem
{
    using Target = std::variant<TrackOut, AlbumOut>;

    QString id; // "track-<id>" or "album-<id>"
    QString title;
    QString artistLine;
    std::optional<QString> coverUrl;
    QString subtitle;
    Target target;

    bool operator==(const HomeReleaseItem &other) const = default;
};
// The target counts by its kind first, then by its record (an album by id).
size_t qHash(const HomeReleaseItem &item, size_t seed = 0);

// The home page's counters; built by the client.
struct LibraryStats
{
    qint64 favoritesCount = 0;
    qint64 albumsCount = 0;
    qint64 tracksCount = 0;
    qint64 clipsCount = 0;
    qint64 battlesCount = 0;
};

} // namespace nimbra
