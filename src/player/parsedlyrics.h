#pragma once

#include "player/lyricsline.h"

#include <QList>

#include <optional>

namespace nimbra {

// Lyrics split into lines. With LRC time tags ("[mm:ss.xx]" at the start
// of a row) only the tagged rows count, sorted by time; without any, every
// row is a line and the lines are spread evenly over the track.
struct ParsedLyrics
{
    bool isLrc = false;
    QList<LyricsLine> lines;

    static ParsedLyrics parse(const QString &text);

    // The line shown at time seconds of a track of duration seconds.
    int activeIndex(double time, double duration) const;
    // Where to seek to for the line at index; empty when there is no such
    // line or no time can be given.
    std::optional<double> seekTime(int index, double duration) const;
};

} // namespace nimbra
