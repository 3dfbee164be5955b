#pragma once

#include "api/catalogrecords.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>

namespace nimbra {

// An artist's newest album or single, as the artist page shows it on top.
struct ArtistLatestRelease
{
    // An album or a single track, in this order.
    using Mode = std::variant<AlbumOut, TrackOut>;

    Mode mode;
    QString title;
    QString artistLine; // the release's credit text, unchanged
    std::optional<QString> coverUrl;
    std::optional<QDateTime> date;
    QString kindLabel; // "Альбом", "EP" or "Сингл"

    bool isAlbum() const { return std::holds_alternative<AlbumOut>(mode); }
    // "album-<album id>" or "track-<track id>".
    QString id() const;

    bool operator==(const ArtistLatestRelease &other) const = default;
};

size_t qHash(const ArtistLatestRelease &release, size_t seed = 0);

} // namespace nimbra
