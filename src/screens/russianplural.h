#pragma once

#include <QString>

namespace nimbra {

// Russian plural forms of counted nouns, the one place that picks them.
namespace RussianPlural {

// The form for n: `one` for 1, 21, 101; `few` for 2-4, 22-24; `many` for
// 0, 5-20, 25-30 and every number ending in 11-14. The remainders keep the
// sign of n, so every negative count takes `many`.
QString form(qint64 n, const QString &one, const QString &few, const QString &many);

// "1 трек", "2 трека", "5 треков".
QString tracks(qint64 n);

} // namespace RussianPlural

} // namespace nimbra
