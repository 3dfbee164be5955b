#pragma once

#include "api/canceltoken.h"

#include <QCoroTask>
#include <QPointer>

namespace nimbra {

class AudioPlayerHandle;
class Clock;

// The volume ramp of a crossfade: the outgoing player goes from full to
// silent while the incoming one goes the other way, in small steps rather
// than a continuous fade.
class CrossfadeRamp
{
public:
    static constexpr int stepsPerSecond = 20;
    static constexpr int minimumSteps = 20;

    // Steps for a fade of seconds: 20 a second, at least 20.
    static int stepCount(double seconds);

    // Sets both volumes for each step, then waits the step's share of
    // seconds on the clock; true once the wait after the last step is over.
    // A cancelled ramp ends before its next step (or after its last wait)
    // and returns false, leaving the volumes where they were: whoever
    // cancelled it has taken the players over.
    static QCoro::Task<bool> run(Clock *clock, double seconds, QPointer<AudioPlayerHandle> outgoing,
        QPointer<AudioPlayerHandle> incoming, CancelToken token);
};

} // namespace nimbra
