#pragma once

#include "api/trackout.h"
#include "artists/compacttracktable.h"

#include <QList>

#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

namespace nimbra {

// An artist's tracks as positions in the catalogue's one track table. A
// catalogue of a million tracks credits some 1.7 million tracks to artists;
// a copy of each record took half a gigabyte, a position takes four bytes.
// The table is shared and compact (CompactTrackTable), so a list stays valid
// however long it is kept; a track is made whole as it is read. Reads like a
// list of tracks, by value.
class ArtistTrackList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = TrackOut;
        using difference_type = std::ptrdiff_t;
        using reference = TrackOut;

        // What -> reads through: the whole track, made for the one read.
        class pointer
        {
        public:
            explicit pointer(TrackOut track) : m_track(std::move(track)) { }
            const TrackOut *operator->() const { return &m_track; }

        private:
            TrackOut m_track;
        };

        const_iterator() = default;
        const_iterator(const CompactTrackTable *table, const quint32 *at) : m_table(table), m_at(at) { }

        reference operator*() const { return m_table->at(*m_at); }
        pointer operator->() const { return pointer(**this); }
        reference operator[](difference_type n) const { return m_table->at(m_at[n]); }
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
        const CompactTrackTable *m_table = nullptr;
        const quint32 *m_at = nullptr;
    };
    using iterator = const_iterator;
    using value_type = TrackOut;
    using size_type = qsizetype;

    ArtistTrackList() = default;
    // A list of its own, in the given order.
    ArtistTrackList(const QList<TrackOut> &tracks)
        : m_table(std::make_shared<const CompactTrackTable>(tracks)), m_positions(size_t(tracks.size()))
    {
        for (qsizetype i = 0; i < tracks.size(); ++i)
            m_positions[size_t(i)] = quint32(i);
    }
    ArtistTrackList(std::initializer_list<TrackOut> tracks) : ArtistTrackList(QList<TrackOut>(tracks)) { }
    // The tracks at the given positions of a shared table.
    ArtistTrackList(std::shared_ptr<const CompactTrackTable> table, std::vector<quint32> positions)
        : m_table(std::move(table)), m_positions(std::move(positions))
    {
    }

    qsizetype size() const { return qsizetype(m_positions.size()); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return m_positions.empty(); }
    bool empty() const { return isEmpty(); }
    TrackOut at(qsizetype i) const { return m_table->at(m_positions[size_t(i)]); }
    TrackOut operator[](qsizetype i) const { return at(i); }
    TrackOut first() const { return at(0); }
    TrackOut last() const { return at(size() - 1); }

    const_iterator begin() const { return {m_table.get(), m_positions.data()}; }
    const_iterator end() const { return {m_table.get(), m_positions.data() + m_positions.size()}; }
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
    std::shared_ptr<const CompactTrackTable> m_table;
    std::vector<quint32> m_positions;
};

} // namespace nimbra
