#pragma once

#include "seededrandom.h"

#include <QString>
#include <QStringList>

namespace devservice {

// Title words come in two disjoint sets: tracks that the lyrics service
// knows take their titles from one, tracks it must not find from the other,
// so that a title-only lyrics search never finds a stranger's lyrics for a
// "not found" track.
enum class TitleSet { Known, Unknown };

// The words, names and lyric lines the generated catalogue is made of.
namespace catalogtext {

// A single artist name of the roster (Cyrillic, Latin, look-alike spellings,
// names that must survive credit splitting whole).
QString soloArtist(SeededRandom &r);
// A roster name that is none of the performers already credited (another
// spelling of one of them included).
QString otherArtist(SeededRandom &r, const QStringList &credited);
// A credit line: a solo name most of the time, otherwise two or three names
// joined by one of the forms listeners' credits use.
QString credit(SeededRandom &r);
// A track title, sometimes with a featured artist in it.
QString trackTitle(SeededRandom &r, TitleSet set);
QString albumTitle(SeededRandom &r);
// What makes a title too long for one line: a tail for a track title and a
// whole album title, by a running number.
QString longTitleTail(int n);
QString longAlbumTitle(int n);
QString clipTitle(SeededRandom &r);

// Lyrics with "[mm:ss.xx]" stamps spread over the duration.
QString lrcLyrics(quint64 seed, int durationSeconds);
// Lyrics without time stamps: verses separated by an empty row.
QString plainLyrics(quint64 seed);

} // namespace catalogtext
} // namespace devservice
