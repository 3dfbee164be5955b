#include "library/trackdraws.h"

#include "api/randomshuffle.h"
#include "api/splitmix64.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The daily list's seed counts days from 1 January of year 1 in the Julian
// calendar (day 1), the calendar in use before the Gregorian reform. That is
// how the service's other clients count, so every client draws the same
// list; a proleptic Gregorian count would be two days off.
constexpr qint64 kDayOneJulianDayNumber = 1721424;

// Of the probe's page count only this many pages are eligible; the counts
// are of size-1 pages, so some eligible pages of 50 may come back empty.
constexpr qint64 kDailyPageLimit = 100;
constexpr qint64 kWavePageLimit = 80;
constexpr int kDrawnPages = 4;
constexpr int kDrawnPageSize = 50;

quint64 daySeed(const QDate &day)
{
    if (!day.isValid())
        return 1;
    return quint64(day.toJulianDay() - kDayOneJulianDayNumber + 1);
}

// Page numbers 1 ... pages (clamped to 1 ... limit), shuffled, and the first
// four of them.
template<typename Next> QList<int> drawPages(qint64 pages, qint64 limit, Next &&next)
{
    const int count = int(std::clamp<qint64>(pages, 1, limit));
    QList<int> numbers;
    numbers.reserve(count);
    for (int p = 1; p <= count; ++p)
        numbers.append(p);
    shuffleList(numbers, next);
    numbers.resize(std::min(count, kDrawnPages));
    return numbers;
}

// Appends the tracks whose ids have not been seen; the first copy stays.
void appendUnseen(QList<TrackOut> &result, QSet<QString> &seen, const QList<TrackOut> &tracks)
{
    for (const TrackOut &track : tracks) {
        if (!seen.contains(track.id)) {
            seen.insert(track.id);
            result.append(track);
        }
    }
}

} // namespace

QCoro::Task<QList<TrackOut>> TrackDraws::dailyPlaylist(std::optional<QString> token, int size, CancelToken cancel) const
{
    const NimbraApi api = m_api;
    const QDate today = m_sources.today ? m_sources.today() : QDate::currentDate();
    SplitMix64 generator(daySeed(today));
    const auto next = [&generator] { return generator.next(); };

    const TrackPage probe = co_await api.tracks(1, 1, true, token, cancel);
    const QList<int> pages = drawPages(probe.pages, kDailyPageLimit, next);

    QList<TrackOut> result;
    QSet<QString> seen;
    for (const int page : pages)
        appendUnseen(result, seen, (co_await api.tracks(page, kDrawnPageSize, true, token, cancel)).items);

    // The same generator goes on where the page draw stopped.
    shuffleList(result, next);
    result.resize(std::min<qsizetype>(std::max(size, 0), result.size()));
    co_return result;
}

QCoro::Task<QList<TrackOut>> TrackDraws::myWaveQueue(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = m_api;
    const RandomBits next = m_sources.random ? m_sources.random : systemRandomBits();

    QList<TrackOut> result;
    QSet<QString> seen;
    if (token) {
        QList<TrackOut> favorites = co_await api.favorites(*token, cancel);
        // Shuffled first, so that of two favourites with one id a random one stays.
        shuffleList(favorites, next);
        appendUnseen(result, seen, favorites);
    }

    const TrackPage probe = co_await api.tracks(1, 1, true, token, cancel);
    const QList<int> pages = drawPages(probe.pages, kWavePageLimit, next);
    for (const int page : pages)
        appendUnseen(result, seen, (co_await api.tracks(page, kDrawnPageSize, true, token, cancel)).items);

    shuffleList(result, next);
    co_return result;
}

} // namespace nimbra
