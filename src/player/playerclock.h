#pragma once

#include "api/canceltoken.h"

#include <QCoroTask>
#include <QDateTime>

#include <chrono>

namespace nimbra {

// Time as the player sees it: the wall clock for deadlines and a monotonic
// sleep for countdowns and ramps. Tests hand in a clock they move by hand.
class PlayerClock
{
public:
    virtual ~PlayerClock() = default;

    // The wall-clock time now, in UTC.
    virtual QDateTime now() const = 0;
    // Sleeps on the monotonic clock; returns early once token is cancelled.
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) = 0;

    // The real clock, shared by the process.
    static PlayerClock *system();
};

} // namespace nimbra
