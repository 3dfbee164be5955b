#pragma once

#include "api/canceltoken.h"

#include <QCoroTask>
#include <QDateTime>

#include <chrono>

namespace nimbra {

// Time as the client sees it: the wall clock for deadlines and a monotonic,
// cancellable sleep for countdowns, ramps, polling pauses, debounce and the
// start-up delay. Tests hand in a clock they move by hand.
class Clock
{
public:
    virtual ~Clock() = default;

    // The wall-clock time now, in UTC.
    virtual QDateTime now() const = 0;
    // Sleeps on the monotonic clock; returns early, without error, once
    // token is cancelled. Cancellation ends the sleep from the event loop,
    // never inside the canceller's call.
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) = 0;

    // The real clock, shared by the process.
    static Clock *system();
};

} // namespace nimbra
