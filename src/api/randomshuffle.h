#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QtGlobal>

#include <functional>
#include <utility>

namespace nimbra {

// Where a shuffle takes its chance from: 64 uniformly random bits a call.
// Each owner of a shuffle takes one, so that a test can hand in a seeded
// generator and know the order it gets.
using RandomBits = std::function<quint64()>;

// The system's source, for everything but tests and the daily list.
inline RandomBits systemRandomBits()
{
    return [] { return QRandomGenerator::system()->generate64(); };
}

// A uniform draw from 0 ..< bound (bound at least 1) by Lemire's
// multiply-high method with rejection. next() yields 64 random bits. The
// daily list replays these draws on every client, so the number of values
// taken from next() matters as much as the result.
template<typename Next> quint64 uniformBelow(Next &&next, quint64 bound)
{
    Q_ASSERT(bound != 0);
    unsigned __int128 product = static_cast<unsigned __int128>(next()) * bound;
    auto low = static_cast<quint64>(product);
    if (low < bound) {
        const quint64 threshold = (0 - bound) % bound; // (2^64 - bound) mod bound
        while (low < threshold) {
            product = static_cast<unsigned __int128>(next()) * bound;
            low = static_cast<quint64>(product);
        }
    }
    return static_cast<quint64>(product >> 64);
}

// Forward Fisher-Yates: position i swaps with i + a draw below count - i.
template<typename T, typename Next> void shuffleList(QList<T> &list, Next &&next)
{
    const qsizetype count = list.size();
    for (qsizetype i = 0; i + 1 < count; ++i) {
        const auto r = static_cast<qsizetype>(uniformBelow(next, quint64(count - i)));
        if (r != 0)
            list.swapItemsAt(i, i + r);
    }
}

} // namespace nimbra
