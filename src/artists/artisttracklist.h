#pragma once

#include "api/trackout.h"

#include <QList>

#include <cstdint>
#include <iterator>
#include <vector>

namespace nimbra {

// An artist's tracks as positions in the catalogue's one track table. A
// catalogue of a million tracks credits some 1.7 million tracks to artists;
// a copy of each record took half a gigabyte, a position takes four bytes.
// The table is shared (a QList is copied by reference), so a list stays valid
// however long it is kept. Reads like a list of tracks.
class ArtistTrackList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = TrackOut;
        using difference_type = std::ptrdiff_t;
        using pointer = const TrackOut *;
        using reference = const TrackOut &;

        const_iterator() = default;
        const_iterator(const TrackOut *table, const quint32 *at) : m_table(table), m_at(at) { }

        reference operator*() const { return m_table[*m_at]; }
        pointer operator->() const { return &m_table[*m_at]; }
        reference operator[](difference_type n) const { return m_table[m_at[n]]; }
        const_iterator &operator++() { ++m_at; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++m_at; return old; }
        const_iterator &operator--() { --m_at; return *this; }
        const_iterator operator--(int) { const_iterator old = *this; --m_at; return old; }
        const_iterator &operator+=(difference_type n) { m_at += n; return *this; }
        const_iterator &operator-=(difference_type n) { m_at -= n; return *this; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator &a, const const_iterator &b) { return a.m_at - b.m_at; }
        friend bool operator==(const const_iterator &a, const const_iterator &b) { return a.m_at == b.m_at; }
        friend auto operator<=>(const const_iterator &a, const const_iterator &b) { return a.m_at <=> b.m_at; }

    private:
        const TrackOut *m_table = nullptr;
        const quint32 *m_at = nullptr;
    };
    using iterator = const_iterator;
    using value_type = TrackOut;
    using size_type = qsizetype;

    ArtistTrackList() = default;
    // A list of its own, in the given order.
    ArtistTrackList(const QList<TrackOut> &tracks) : m_table(tracks), m_positions(tracks.size())
    {
        for (qsizetype i = 0; i < tracks.size(); ++i)
            m_positions[size_t(i)] = quint32(i);
    }
    ArtistTrackList(std::initializer_list<TrackOut> tracks) : ArtistTrackList(QList<TrackOut>(tracks)) { }
    // The tracks at the given positions of a shared table.
    ArtistTrackList(QList<TrackOut> table, std::vector<quint32> positions)
        : m_table(std::move(table)), m_positions(std::move(positions))
    {
    }

    qsizetype size() const { return qsizetype(m_positions.size()); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return m_positions.empty(); }
    bool empty() const { return isEmpty(); }
    const TrackOut &at(qsizetype i) const { return m_table.at(m_positions[size_t(i)]); }
    const TrackOut &operator[](qsizetype i) const { return at(i); }
    const TrackOut &first() const { return at(0); }
    const TrackOut &last() const { return at(size() - 1); }

    const_iterator begin() const { return {m_table.constData(), m_positions.data()}; }
    const_iterator end() const { return {m_table.constData(), m_positions.data() + m_positions.size()}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    // A list of copies, for code that keeps tracks of its own.
    QList<TrackOut> toList() const { return QList<TrackOut>(begin(), end()); }
    operator QList<TrackOut>() const { return toList(); }

    // Equal when the tracks are equal, one by one, wherever they are kept.
    friend bool operator==(const ArtistTrackList &a, const ArtistTrackList &b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    QList<TrackOut> m_table;
    std::vector<quint32> m_positions;
};

} // namespace nimbra
