#pragma once

#include <QtGlobal>

namespace devservice {

// SplitMix64: the catalogue must come out identical on every machine and with
// every standard library, so no <random> distribution is used anywhere.
class SeededRandom
{
public:
    explicit SeededRandom(quint64 seed) : m_state(seed) { }

    quint64 next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        quint64 z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform enough for test data: the modulo bias is far below anything
    // a test could notice.
    int below(int bound) { return bound <= 1 ? 0 : int(next() % quint64(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

    template<typename List> const auto &pick(const List &list) { return list[below(int(std::size(list)))]; }

private:
    quint64 m_state;
};

// Mixes a base seed with an index so that every record draws from a stream
// of its own and stays the same whatever the catalogue size.
inline quint64 mixSeed(quint64 seed, quint64 index)
{
    SeededRandom r(seed ^ (index * 0xD6E8FEB86659FD93ULL));
    return r.next();
}

} // namespace devservice
