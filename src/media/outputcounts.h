#pragma once

#include <QtGlobal>

namespace nimbra {

// How many buffers the audio sink under a media played and how many it
// threw away (as too late), each counted since the sink last started afresh
// (a flushing seek starts it afresh).
struct OutputCounts
{
    quint64 rendered = 0;
    quint64 dropped = 0;
};

} // namespace nimbra
