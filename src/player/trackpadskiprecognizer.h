#pragma once

#include <QtGlobal>

namespace nimbra {

// Turns a horizontal two-finger scroll on a trackpad into one skip to the
// next or the previous track. It only reads what it is given (deltas,
// phases, a monotonic time in milliseconds) and answers what to do, so the
// window's event filter stays a thin translation of Qt's events.
//
// A gesture that travels 45 pixels or more sideways skips once when it
// ends: to the left (negative delta) the next track, to the right the
// previous one. Skips are at least 0.45 s apart; a gesture too short to
// skip does not start that pause. Only events whose movement is mainly
// sideways count, so vertical scrolling never skips.
class TrackpadSkipRecognizer
{
public:
    enum class Phase { None, MayBegin, Began, Changed, Ended };
    enum class Action { None, Next, Previous };

    struct Scroll
    {
        double dx = 0;
        double dy = 0;
        // Pixel deltas of a trackpad; a mouse wheel has none and never skips.
        bool precise = true;
        Phase phase = Phase::None;
        // The phase of the inertial scrolling after the fingers lifted.
        Phase momentumPhase = Phase::None;
    };

    static constexpr double skipThreshold = 45;
    static constexpr qint64 cooldownMs = 450;
    // Input stacks without scroll phases (X11) never say that a gesture
    // ended: a pause this long between events ends it.
    static constexpr qint64 phaselessIdleMs = 150;

    bool isEnabled() const { return m_enabled; }
    // Disabling forgets the gesture in progress.
    void setEnabled(bool enabled);

    Action scroll(const Scroll &event, qint64 nowMs);
    // A swipe event: negative deltaX goes forward. Any swipe, even a
    // vertical one, starts the pause between skips.
    Action swipe(double deltaX, qint64 nowMs);
    // No event came for phaselessIdleMs: ends a gesture that had no phases.
    Action idle(qint64 nowMs);
    // A gesture without phases is under way and waits for idle().
    bool awaitsIdle() const { return m_phaselessOpen; }

private:
    Action commit(qint64 nowMs);
    void reset();
    bool cooledDown(qint64 nowMs) const { return !m_hasSkipped || nowMs - m_lastSkipMs >= cooldownMs; }

    bool m_enabled = false;
    double m_accumulatedX = 0;
    bool m_tracksHorizontal = false;
    bool m_phaselessOpen = false;
    qint64 m_lastPhaselessMs = 0;
    bool m_hasSkipped = false;
    qint64 m_lastSkipMs = 0;
};

} // namespace nimbra
