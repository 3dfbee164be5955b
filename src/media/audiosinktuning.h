#pragma once

namespace nimbra {

// Settings that every GStreamer audio sink and stream selector of the
// process gets as it is made, whichever player (a track's, a clip's) makes
// it. QtMultimedia gives no hold of its elements, so a hook on GStreamer's
// bins sets them as one is added to a bin, and hands each sink to the media
// that made it (ClaimedSink).
class AudioSinkTuning
{
public:
    // Once per process, before the first audio output of the GStreamer
    // backend is made; starts GStreamer if nothing has yet. Nothing where
    // the environment chose another backend.
    static void install();
};

} // namespace nimbra
