#pragma once

#include <QtGlobal>

namespace nimbra {

// The SplitMix64 generator (Steele, Lea and Flood; Vigna's reference
// constants). The seed is the state as it is, not mixed first: the daily
// list must draw the very numbers that the service's other clients draw
// from the same day.
class SplitMix64
{
public:
    explicit SplitMix64(quint64 seed) : m_state(seed) { }

    quint64 next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        quint64 z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

private:
    quint64 m_state;
};

} // namespace nimbra
