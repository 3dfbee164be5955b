#include "player/crossfaderamp.h"

#include "platform/audiobackend.h"
#include "api/clock.h"
#include "format/durationtext.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace nimbra {

int CrossfadeRamp::stepCount(double seconds)
{
    if (!(seconds > 0))
        return minimumSteps;
    // The store keeps fades far below a minute; the cap only keeps the
    // product a number an int holds.
    const double steps = std::floor(std::min(seconds, 3600.0) * stepsPerSecond);
    return std::max(minimumSteps, int(steps));
}

QCoro::Task<bool> CrossfadeRamp::run(Clock *clock, double seconds, QPointer<AudioPlayerHandle> outgoing,
    QPointer<AudioPlayerHandle> incoming, CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    const int steps = stepCount(seconds);
    const double total = sanitizedSeconds(seconds);
    const auto stepTime = std::chrono::milliseconds(std::lround(total * 1000.0 / steps));
    for (int i = 1; i <= steps; ++i) {
        if (token.isCancelled())
            co_return false;
        const float share = float(i) / float(steps);
        if (outgoing)
            outgoing->setVolume(1.0f - share);
        if (incoming)
            incoming->setVolume(share);
        co_await clock->sleep(stepTime, token);
    }
    co_return !token.isCancelled();
}

} // namespace nimbra
