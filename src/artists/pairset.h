#pragma once

#include <QtGlobal>

#include <vector>

namespace nimbra {

// A set of (artist, item) number pairs: which tracks an artist already has,
// which albums it is linked to. Millions of such checks run in one catalogue
// derivation; a flat table probed in place does each in one memory access
// where a node-based hash set took several.
class PairSet
{
public:
    // True when the pair was not in the set yet.
    bool insert(quint32 first, quint32 second)
    {
        // Stored plus one, so that zero marks an empty slot.
        const quint64 key = ((quint64(first) << 32) | second) + 1;
        if ((m_size + 1) * 2 > m_table.size())
            grow();
        size_t at = slotOf(key);
        while (m_table[at] != 0) {
            if (m_table[at] == key)
                return false;
            at = (at + 1) & (m_table.size() - 1);
        }
        m_table[at] = key;
        ++m_size;
        return true;
    }

private:
    size_t slotOf(quint64 key) const
    {
        key ^= key >> 31;
        key *= 0x9E3779B97F4A7C15ull;
        key ^= key >> 29;
        return size_t(key) & (m_table.size() - 1);
    }

    void grow()
    {
        std::vector<quint64> old(m_table.empty() ? 64 : m_table.size() * 2);
        old.swap(m_table);
        for (const quint64 key : old) {
            if (key == 0)
                continue;
            size_t at = slotOf(key);
            while (m_table[at] != 0)
                at = (at + 1) & (m_table.size() - 1);
            m_table[at] = key;
        }
    }

    std::vector<quint64> m_table;
    size_t m_size = 0;
};

// The artists already holding each track (by the number of its id): a short
// chain per track, walked in place. The pass over the track credits meets
// the chains in input order, so they stay in cache, where a hash table of
// (artist, track) pairs took a cache miss for nearly every pair.
class TrackArtists
{
public:
    TrackArtists(size_t tracks, size_t expected) : m_head(tracks, -1) { m_links.reserve(expected); }

    // True when the artist did not hold the track yet.
    bool insert(int artist, int track)
    {
        int &head = m_head[size_t(track)];
        for (int at = head; at >= 0; at = m_links[size_t(at)].next) {
            if (m_links[size_t(at)].artist == artist)
                return false;
        }
        m_links.push_back({artist, head});
        head = int(m_links.size() - 1);
        return true;
    }

private:
    struct Link
    {
        int artist;
        int next; // the track's previous link, -1 at the end
    };
    std::vector<int> m_head; // the track's last link, -1 for none
    std::vector<Link> m_links;
};

} // namespace nimbra
