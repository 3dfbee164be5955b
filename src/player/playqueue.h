#pragma once

#include "api/randomshuffle.h"
#include "api/trackout.h"
#include "player/repeatmode.h"

#include <QList>
#include <QUrl>

#include <functional>
#include <optional>

namespace nimbra {

// The play queue and its arithmetic, without any playback: the order,
// the index of the entry last started, shuffle with the saved order, and
// which entry comes next or before by the repeat mode.
class PlayQueue
{
public:
    // The stream address of an entry; empty when its path does not resolve.
    using Resolver = std::function<std::optional<QUrl>(const TrackOut &)>;

    struct Start
    {
        qsizetype index = 0;
        QUrl url;
    };

    explicit PlayQueue(RandomBits random = systemRandomBits());

    const QList<TrackOut> &tracks() const { return m_tracks; }
    qsizetype size() const { return m_tracks.size(); }
    bool isEmpty() const { return m_tracks.isEmpty(); }
    // The entry last started. May lie past the end after shuffle was turned
    // off while the current track was not in the saved order.
    qsizetype index() const { return m_index; }
    void setIndex(qsizetype index) { m_index = index; }
    bool isShuffled() const { return m_shuffled; }
    // The unshuffled order, kept while shuffle is on; empty otherwise.
    const QList<TrackOut> &savedOrder() const { return m_saved; }

    // Takes a new list to play track from (shuffled behind it when shuffle
    // is on) and returns the index to start from. An empty list keeps the
    // queue, or makes it track alone when it is empty too; a track that is
    // not in the queue is appended.
    qsizetype place(const TrackOut &track, const QList<TrackOut> &list);

    // The first entry from `from` on, wrapping around once, whose address
    // resolves.
    std::optional<Start> firstPlayable(qsizetype from, const Resolver &resolve) const;

    // The entry to start for next: none at the end of the queue with repeat
    // off (the caller continues with the wave) or when the queue is empty.
    std::optional<qsizetype> nextIndex(RepeatMode mode) const;
    // The entry to start for previous: one back, from the first to the last
    // also with repeat off; the same entry with repeat one.
    std::optional<qsizetype> previousIndex(RepeatMode mode) const;

    // Turns shuffle on (current first, then the rest in random order) or off
    // (the saved order back, the index on the current track when found).
    void setShuffled(bool on, const std::optional<TrackOut> &current);

    // Appends a wave: the received tracks not yet queued, in the order
    // received; when every one of them is queued already, all of them in a
    // new random order, so that the queue still grows. The saved unshuffled
    // order is not touched.
    void appendWave(const QList<TrackOut> &received);

    // Replaces the entry at the index by a new record of the same track;
    // false when that entry is another track (or there is none).
    bool replaceCurrent(const TrackOut &track);

    // Empty, shuffle off, as at start.
    void clear();

private:
    QList<TrackOut> withoutId(const QList<TrackOut> &list, const QString &id) const;
    void shuffle(QList<TrackOut> &list) const;

    RandomBits m_random;
    QList<TrackOut> m_tracks;
    QList<TrackOut> m_saved;
    qsizetype m_index = 0;
    bool m_shuffled = false;
};

} // namespace nimbra
