#pragma once

#include "api/catalogrecords.h"
#include "artists/artistlatestrelease.h"

#include <QString>

#include <optional>

namespace nimbra {

// The texts of the artist page that follow rules: the share link, the counts
// lines, the track list's toggle and the captions.
namespace ArtistPageText {

// Rows of "Все треки" shown before the toggle.
inline constexpr int visibleTrackRows = 5;
// The header offers the wave from this many tracks on.
inline constexpr int waveMinimumTracks = 5;

// "https://<web host>#artist:<name>", the name percent-encoded once (UTF-8,
// upper-case hex) with what a URL fragment allows left as it is. The host is
// the service's built-in one, whatever base address the settings hold.
// Empty when no link can be made.
QString shareLink(const QString &name);

// "N треков · M альбомов", each word in the form its number takes.
QString counts(qsizetype tracks, qsizetype albums);
// "N альбомов", the discography's subtitle.
QString albumsCount(qsizetype albums);
// "Свернуть" while expanded, else "Ещё N трек|трека|треков".
QString toggle(qsizetype hidden, bool expanded);
// "2021 · 3 трека", or "3 трека" without a year.
QString albumCaption(const AlbumOut &album, int trackCount);
// "<date> — <kind>", or the kind alone without a date.
QString releaseLine(const ArtistLatestRelease &release);

} // namespace ArtistPageText

} // namespace nimbra
