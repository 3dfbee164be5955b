#include "player/playqueue.h"

#include <QSet>

#include <algorithm>

namespace nimbra {

PlayQueue::PlayQueue(RandomBits random) : m_random(std::move(random)) { }

qsizetype PlayQueue::place(const TrackOut &track, const QList<TrackOut> &list)
{
    if (list.isEmpty()) {
        if (m_tracks.isEmpty())
            m_tracks = {track};
    } else if (m_shuffled) {
        m_saved = list;
        QList<TrackOut> rest = withoutId(list, track.id);
        shuffle(rest);
        m_tracks = QList<TrackOut> {track} + rest;
    } else {
        m_tracks = list;
    }
    const auto found
        = std::find_if(m_tracks.cbegin(), m_tracks.cend(), [&](const TrackOut &t) { return t.id == track.id; });
    if (found != m_tracks.cend())
        return found - m_tracks.cbegin();
    m_tracks.append(track);
    return m_tracks.size() - 1;
}

std::optional<PlayQueue::Start> PlayQueue::firstPlayable(qsizetype from, const Resolver &resolve) const
{
    const qsizetype n = m_tracks.size();
    if (n == 0 || from < 0)
        return std::nullopt;
    for (qsizetype k = 0; k < n; ++k) {
        const qsizetype j = (from % n + k) % n;
        if (const auto url = resolve(m_tracks.at(j)))
            return Start {j, *url};
    }
    return std::nullopt;
}

std::optional<qsizetype> PlayQueue::nextIndex(RepeatMode mode) const
{
    const qsizetype n = m_tracks.size();
    if (n == 0)
        return std::nullopt;
    switch (mode) {
    case RepeatMode::Off:
        if (m_index + 1 >= n)
            return std::nullopt;
        return m_index + 1;
    case RepeatMode::All:
        return (m_index + 1) % n;
    case RepeatMode::One:
        return m_index;
    }
    return std::nullopt;
}

std::optional<qsizetype> PlayQueue::previousIndex(RepeatMode mode) const
{
    const qsizetype n = m_tracks.size();
    if (n == 0)
        return std::nullopt;
    if (mode == RepeatMode::One)
        return m_index;
    return (m_index % n - 1 + n) % n;
}

void PlayQueue::setShuffled(bool on, const std::optional<TrackOut> &current)
{
    if (on == m_shuffled)
        return;
    if (on) {
        m_saved = m_tracks;
        m_shuffled = true;
        // The current track is found by id: after shuffle was last turned
        // off the index may name another entry or none at all.
        QList<TrackOut> rest = current ? withoutId(m_tracks, current->id) : m_tracks;
        shuffle(rest);
        m_tracks = current ? QList<TrackOut> {*current} + rest : rest;
        m_index = 0;
        return;
    }
    m_shuffled = false;
    if (!m_saved.isEmpty())
        m_tracks = m_saved;
    m_saved.clear();
    if (current) {
        const auto found
            = std::find_if(m_tracks.cbegin(), m_tracks.cend(), [&](const TrackOut &t) { return t.id == current->id; });
        if (found != m_tracks.cend())
            m_index = found - m_tracks.cbegin();
    }
}

void PlayQueue::appendWave(const QList<TrackOut> &received)
{
    QSet<QString> queued;
    queued.reserve(m_tracks.size());
    for (const TrackOut &t : std::as_const(m_tracks))
        queued.insert(t.id);
    QList<TrackOut> fresh;
    for (const TrackOut &t : received) {
        if (!queued.contains(t.id))
            fresh.append(t);
    }
    if (fresh.isEmpty()) {
        fresh = received;
        shuffle(fresh);
    }
    m_tracks.append(fresh);
}

bool PlayQueue::replaceCurrent(const TrackOut &track)
{
    if (m_index < 0 || m_index >= m_tracks.size() || m_tracks.at(m_index).id != track.id)
        return false;
    m_tracks[m_index] = track;
    return true;
}

QList<TrackOut> PlayQueue::withoutId(const QList<TrackOut> &list, const QString &id) const
{
    QList<TrackOut> rest;
    rest.reserve(list.size());
    for (const TrackOut &t : list) {
        if (t.id != id)
            rest.append(t);
    }
    return rest;
}

void PlayQueue::shuffle(QList<TrackOut> &list) const
{
    shuffleList(list, m_random);
}

void PlayQueue::clear()
{
    m_tracks.clear();
    m_saved.clear();
    m_index = 0;
    m_shuffled = false;
}

} // namespace nimbra
