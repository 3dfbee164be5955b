#pragma once

#include <QString>

namespace nimbra {

// The things the client counts. Each has its three Russian forms: one
// ("1 трек"), few ("2 трека") and many ("5 треков").
enum class CountWord {
    Track,
    Album,
    Clip,
    Battle,
    Minute,
    Byte,
};

// The word for n of them: `many` when n ends in 11 to 14, else `one` when
// it ends in 1, `few` when it ends in 2 to 4, `many` otherwise ("1 трек",
// "3 трека", "12 треков", "21 трек"). Negative counts read as their
// magnitude.
QString russianPlural(qint64 n, CountWord word);

// n, a space and its word: "21 трек", "0 треков".
QString russianCount(qint64 n, CountWord word);

} // namespace nimbra
