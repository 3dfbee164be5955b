#pragma once

#include "media/outputcounts.h"

#include <optional>

namespace nimbra {

// Whether the sound reaches the output while the media's position runs.
// An audio sink that takes every buffer for late throws it away, and the
// position, which follows the pipeline's clock, runs on over silence.
// Quiet passages are no silence here: their samples are played all the same.
class SilenceWatch
{
public:
    // How far the position may run while the sink drops what it gets and
    // plays nothing. A flushing seek costs the sink a late buffer or two
    // before it plays again within some tens of milliseconds; a second is
    // far past that, below the stall limit, and short enough that the
    // listener notices the gap rather than a lost track.
    static constexpr qint64 limitMs = 1000;

    // Starts looking afresh from the next position (after a seek, a pause,
    // a media loaded again).
    void reset() { m_last.reset(); }
    // The position the media reached, with its sink's counts: true once the
    // position has run past the limit since the output last played, with
    // the sink dropping buffers meanwhile. Without counts nothing is known.
    bool isSilent(qint64 positionMs, std::optional<OutputCounts> counts);
    // The position at which sound last reached the output: where the
    // listener lost it. The position itself while the sink is not known.
    qint64 heardMs(qint64 positionMs) const { return m_last ? m_heardMs : positionMs; }

private:
    std::optional<OutputCounts> m_last;
    qint64 m_heardMs = 0;
    bool m_dropped = false;
};

} // namespace nimbra
