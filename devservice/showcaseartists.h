#pragma once

#include "catalogue.h"

namespace devservice {

// Artists whose pages show every part of the artist page, with names the
// generated roster never uses, so their counts are exact:
// - "Лунный Свет": the longest album but the first, plus two singles (more
//   than five tracks), the demo user's own artist;
// - "Пять Озёр": exactly five tracks, "Четыре Ветра": exactly four, none
//   with a cover;
// - "Эхо Гость": credited only as a guest on "Лунный Свет"'s album.
// Placed on tracks after the fixed head; singles are used first, album
// tracks when a small catalogue has too few.
namespace showcase {

inline constexpr const char16_t *ownArtist = u"Лунный Свет";
inline constexpr const char16_t *fiveTracks = u"Пять Озёр";
inline constexpr const char16_t *fourTracks = u"Четыре Ветра";
inline constexpr const char16_t *guestOnly = u"Эхо Гость";

void apply(QVector<TrackRecord> &tracks, QVector<AlbumRecord> &albums, int fixedHead);

} // namespace showcase

} // namespace devservice
