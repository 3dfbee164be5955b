#pragma once

#include <QString>

namespace nimbra {

// The word of a Russian count: `many` when n ends in 11 to 14, else `one`
// when it ends in 1, `few` when it ends in 2 to 4, `many` otherwise
// ("1 трек", "3 трека", "12 треков", "21 трек"). Negative counts read as
// their magnitude.
QString russianPlural(qint64 n, const QString &one, const QString &few, const QString &many);

// n, a space and its word.
QString russianCount(qint64 n, const QString &one, const QString &few, const QString &many);

} // namespace nimbra
