#pragma once

#include <QString>

#include <optional>

namespace nimbra {

// The four playlists the client puts together itself. Named in QML and in
// navigation by their raw texts "wave", "favorites", "offline", "daily".
enum class SmartPlaylistKind { Wave, Favorites, Offline, Daily };

// What a kind shows: its emoji, title, subtitle and the text of its empty list.
struct SmartPlaylistInfo
{
    QString raw;
    QString emoji;
    QString displayTitle;
    QString subtitle;
    QString emptyDescription;

    // The kind of a raw text; absent for any text but the four.
    static std::optional<SmartPlaylistKind> kindFromRaw(const QString &raw);
    static SmartPlaylistInfo of(SmartPlaylistKind kind);
};

} // namespace nimbra
