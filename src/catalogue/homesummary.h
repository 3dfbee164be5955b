#pragma once

#include "api/nimbraapi.h"

namespace nimbra {

// What the home page sums up of the catalogue, on top of the typed client:
// its counters and its new releases. Each fails with the first failing
// request's error and then returns nothing gathered so far. Holds nothing
// but its client; tasks do not touch the object after they start, so it
// may go away while they run. Main thread only.
class HomeSummary
{
public:
    explicit HomeSummary(NimbraApi api) : m_api(std::move(api)) { }

    // The home page's counters. token: absent for a guest, who is sent no
    // favourites request and counts 0 favourites.
    QCoro::Task<LibraryStats> libraryStats(std::optional<QString> token, CancelToken cancel = {}) const;
    // The newest dated tracks (as singles) and albums, newest first, at most
    // limit of them, each with its Russian dated subtitle.
    QCoro::Task<QList<HomeReleaseItem>> newReleases(
        std::optional<QString> token, int limit, CancelToken cancel = {}) const;

private:
    NimbraApi m_api;
};

} // namespace nimbra
