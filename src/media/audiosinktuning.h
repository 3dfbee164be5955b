#pragma once

namespace nimbra {

// Settings that every GStreamer audio sink of the process gets as it is
// made, whichever player (a track's, a clip's) makes it. QtMultimedia gives
// no hold of its sinks, so a hook on GStreamer's bins sets them as a sink
// is added to one, and hands each to the media that made it (ClaimedSink).
class AudioSinkTuning
{
public:
    // Once per process, before the first audio output of the GStreamer
    // backend is made; starts GStreamer if nothing has yet. Nothing where
    // the environment chose another backend.
    static void install();
};

} // namespace nimbra
