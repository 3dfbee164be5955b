#pragma once

#include "api/nimbraapi.h"
#include "api/randomshuffle.h"

#include <QDate>

#include <functional>

namespace nimbra {

// The lists drawn from the catalogue on top of the typed client: the daily
// list and the wave. They fail with the first failing request's error and
// then return nothing gathered so far. Holds nothing but its client and the
// sources of the day and of chance; tasks do not touch the object after
// they start, so it may go away while they run. Main thread only.
class TrackDraws
{
public:
    // Where the draws take the calendar day and random numbers from; tests
    // fix both. Empty means the system's.
    struct Sources
    {
        // The listener's local calendar day (the daily list's seed).
        std::function<QDate()> today;
        // The wave's shuffles.
        RandomBits random;
    };

    explicit TrackDraws(NimbraApi api, Sources sources = {}) : m_api(std::move(api)), m_sources(std::move(sources)) { }

    // Up to size tracks drawn from the catalogue with the calendar day as
    // the seed: the same list all day, on every client of the service.
    QCoro::Task<QList<TrackOut>> dailyPlaylist(std::optional<QString> token, int size, CancelToken cancel = {}) const;
    // The listener's favourites and up to 200 random catalogue tracks, each
    // id once, freshly shuffled on every call.
    QCoro::Task<QList<TrackOut>> myWaveQueue(std::optional<QString> token, CancelToken cancel = {}) const;

private:
    NimbraApi m_api;
    Sources m_sources;
};

} // namespace nimbra
