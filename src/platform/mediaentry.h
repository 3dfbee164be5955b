#pragma once

#include "platform/audiobackend.h"
#include "platform/videobackend.h"

#include <QImage>

#include <functional>
#include <memory>

namespace nimbra {

// What the media library (libnimbra_media: QtMultimedia on GStreamer, with
// the sound server's client libraries under it) gives the program. The
// library is loaded by MediaLibrary at the first track or clip, so a start
// that plays nothing never loads that stack.
class MediaEntry
{
public:
    virtual ~MediaEntry() = default;

    // The stack's one-time start (GStreamer's plugin registry above all),
    // done once on a worker before anything else is asked for, so that the
    // first media object on the main thread finds it done.
    virtual void prepare() { }

    virtual std::unique_ptr<AudioBackend> createAudioBackend() = 0;
    // A silent stream on the sound server, paused, for as long as the object
    // (owned by `parent`) lives. It needs the library alone: it may be made
    // on the main thread while prepare() still runs on the worker.
    virtual QObject *openIdleStream(QObject *parent) = 0;
    virtual std::unique_ptr<VideoBackend> createVideoBackend() = 0;

    // A video sink made on the calling thread and owned by `parent`: the
    // frames a player sends it reach `take` as pictures, on a thread of the
    // sink's own, the newest first (frames that come while one is being
    // converted are dropped), and a null picture when the player lets go
    // of its picture.
    virtual QObject *createFrameSink(std::function<void(QImage)> take, QObject *parent) = 0;
};

} // namespace nimbra

// The media library's one exported function: its entry, which lives as long
// as the process.
extern "C" nimbra::MediaEntry *nimbraMediaEntry();
