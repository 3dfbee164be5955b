#pragma once

#include "api/jsoncoding.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

namespace nimbra {

// A track of the catalogue. Immutable by habit: changes are copies made by
// the with...() operations, and holders replace their copy by id.
struct TrackOut
{
    QString id;
    QString title;
    QString artist;
    qint64 durationSeconds = 0;
    QString fileUrl;
    std::optional<QString> coverUrl;
    std::optional<QString> albumId;
    std::optional<QString> lyrics;
    std::optional<qint64> trackNumber;
    std::optional<QString> userRating;
    bool isFavorite = false;
    std::optional<QDateTime> createdAt;

    // Every field counts: a copy with another favourite flag is another value.
    bool operator==(const TrackOut &other) const = default;

    // FLAC by name: the path before the first "?" or "#", lower-cased, ends in ".flac".
    bool isHiFi() const;
    // The cover's full address against the service's base address; empty
    // when the track has none or its path does not resolve.
    QString coverAddress() const;

    TrackOut withFavorite(bool favorite) const;
    TrackOut withUserRating(std::optional<QString> rating) const;
    // Completes this track from the full record of the same track.
    TrackOut mergingDetails(const TrackOut &detail) const;

    static TrackOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

size_t qHash(const TrackOut &track, size_t seed = 0);

} // namespace nimbra
