#include "player/trackpadskiprecognizer.h"

#include <cmath>

namespace nimbra {

void TrackpadSkipRecognizer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        reset();
}

TrackpadSkipRecognizer::Action TrackpadSkipRecognizer::scroll(const Scroll &event, qint64 nowMs)
{
    if (!m_enabled || !event.precise)
        return Action::None;
    const bool sideways = std::abs(event.dy) * 0.6 < std::abs(event.dx);

    if (event.phase == Phase::None && event.momentumPhase == Phase::None) {
        // Without phases every event is part of the movement; the gesture
        // ends when the events stop. A late idle() is made up for here.
        Action ended = Action::None;
        if (m_phaselessOpen && nowMs - m_lastPhaselessMs >= phaselessIdleMs)
            ended = commit(nowMs);
        if (!m_phaselessOpen) {
            reset();
            m_phaselessOpen = true;
        }
        m_lastPhaselessMs = nowMs;
        if (sideways) {
            m_tracksHorizontal = true;
            m_accumulatedX += event.dx;
        }
        return ended;
    }

    if (event.phase == Phase::Began || event.phase == Phase::MayBegin)
        reset();
    if (sideways) {
        m_tracksHorizontal = true;
        // The began event's own delta and the momentum's do not count, so
        // the inertia after a lift cannot make a second skip.
        if (event.phase == Phase::Changed || event.phase == Phase::MayBegin)
            m_accumulatedX += event.dx;
    }
    if (event.phase == Phase::Ended || event.momentumPhase == Phase::Ended)
        return commit(nowMs);
    return Action::None;
}

TrackpadSkipRecognizer::Action TrackpadSkipRecognizer::swipe(double deltaX, qint64 nowMs)
{
    if (!m_enabled || !cooledDown(nowMs))
        return Action::None;
    m_hasSkipped = true;
    m_lastSkipMs = nowMs;
    if (deltaX < 0)
        return Action::Next;
    if (deltaX > 0)
        return Action::Previous;
    return Action::None;
}

TrackpadSkipRecognizer::Action TrackpadSkipRecognizer::idle(qint64 nowMs)
{
    if (!m_phaselessOpen)
        return Action::None;
    return commit(nowMs);
}

TrackpadSkipRecognizer::Action TrackpadSkipRecognizer::commit(qint64 nowMs)
{
    Action action = Action::None;
    if (m_tracksHorizontal && cooledDown(nowMs)) {
        if (m_accumulatedX <= -skipThreshold)
            action = Action::Next;
        else if (m_accumulatedX >= skipThreshold)
            action = Action::Previous;
        if (action != Action::None) {
            m_hasSkipped = true;
            m_lastSkipMs = nowMs;
        }
    }
    reset();
    return action;
}

void TrackpadSkipRecognizer::reset()
{
    m_accumulatedX = 0;
    m_tracksHorizontal = false;
    m_phaselessOpen = false;
}

} // namespace nimbra
