#pragma once

#include <QtGlobal>

#include <optional>

namespace nimbra {

// Whether the sound reaches the output while the media's position runs.
// An audio sink that takes the buffers after a seek for late throws them
// away as fast as they come, all the rest of the item at once, and then
// has nothing more to play, while the position, which follows the
// pipeline's clock, runs on over silence. Quiet passages are no silence
// here: their buffers are played all the same.
class SilenceWatch
{
public:
    // How far the position may run while the sink plays no buffer. A sink
    // gets one every tenth of a second or more often, and plays it in real
    // time; a second is ten of them missing, below the stall limit, and
    // short enough that the listener hears a gap rather than a lost track.
    static constexpr qint64 limitMs = 1000;

    // Starts looking afresh from the next position (after a seek, a pause,
    // a media loaded again).
    void reset() { m_rendered.reset(); }
    // The position the media reached, with the number of buffers its sink
    // has played (counted afresh after some seeks): true once the position
    // has run past the limit since that number last changed. Without the
    // number nothing is known.
    bool isSilent(qint64 positionMs, std::optional<quint64> rendered);
    // The position at which sound last reached the output: where the
    // listener lost it. The position itself while the sink is not known.
    qint64 heardMs(qint64 positionMs) const { return m_rendered ? m_heardMs : positionMs; }

private:
    std::optional<quint64> m_rendered;
    qint64 m_heardMs = 0;
};

} // namespace nimbra
