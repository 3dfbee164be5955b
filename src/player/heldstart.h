#pragma once

#include "api/canceltoken.h"

#include <QCoroTask>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

namespace nimbra {

class Clock;

// Presses that come faster than a player starts (a "next" held down, clicks
// down a list) would each build a media pipeline on the main thread and tear
// it down again at the next press, stalling the window for the lot. Such a
// press holds the start back instead: the track shown moves at once, and
// the one landed on starts once no press has come for `settle`.
class HeldStart
{
public:
    // Longer than the gap between presses of a key held down or of quick
    // clicks, short beside the start of a player.
    static constexpr std::chrono::milliseconds settle {200};

    // start runs with the source held once the presses have settled.
    HeldStart(Clock *clock, std::function<void(const QUrl &)> start);

    // Holds source back, the wait counted afresh.
    void hold(const QUrl &source);
    bool isHeld() const { return m_source.has_value(); }
    // Playback paused: the start stays held, until played or dropped.
    void pause() { m_wait.cancel(); }
    // The source held, for a start at once; nothing is held after.
    std::optional<QUrl> take();
    void drop() { take(); }

private:
    QCoro::Task<> startWhenSettled(CancelToken token);

    Clock *m_clock;
    std::function<void(const QUrl &)> m_start;
    std::optional<QUrl> m_source;
    TaskSlot m_wait;
};

} // namespace nimbra
