#pragma once

#include "platform/audiobackend.h"
#include "platform/mediaentry.h"
#include "platform/videobackend.h"

#include <QObject>

#include <functional>
#include <memory>

namespace nimbra {

// The media library, loaded from the folder of the core library the first
// time something plays or shows video. Without it nothing could ever play:
// a program installed without it stops with a message at the first play.
class MediaLibrary
{
public:
    // Loads the library on the calling thread if nobody did yet (waiting
    // for a load under way on the worker).
    static MediaEntry &entry();
    // Whether it was loaded already (for tests and measurements).
    static bool isLoaded();
    // Loading the library and starting GStreamer (which reads or rebuilds
    // its plugin registry) takes a third of a second or more: it happens
    // once, on a worker, started by the first call. `ready` runs on the
    // main thread when it is done, at once when it was done before, and
    // not at all when `context` is gone by then. Main thread only.
    static void whenLoaded(QObject *context, std::function<void(MediaEntry &)> ready);
    // The same as soon as the library itself is there, while GStreamer may
    // still be starting on the worker: for what talks to the sound server
    // alone and makes no media object.
    static void whenOpened(QObject *context, std::function<void(MediaEntry &)> ready);
};

// How the on-demand backends reach the library; tests hold the load back.
using MediaLoader = std::function<void(QObject *context, std::function<void(MediaEntry &)> ready)>;

// The program's audio output: the media library's, loaded at the first
// player asked for. Until it is loaded a player stands in that keeps what
// it was told and hands it on to the real one; a player dropped before
// then never makes one. An output readied before the first player loads
// the library too, and opens its stream as soon as the library is open.
class OnDemandAudioBackend : public AudioBackend
{
public:
    explicit OnDemandAudioBackend(
        MediaLoader loader = &MediaLibrary::whenLoaded, MediaLoader opener = &MediaLibrary::whenOpened);
    AudioPlayerPtr createPlayer(const QUrl &source) override;
    std::unique_ptr<QObject> readyOutput() override;

private:
    MediaLoader m_loader;
    MediaLoader m_opener;
    // Filled by the first stand-in that sees the library loaded.
    std::shared_ptr<std::unique_ptr<AudioBackend>> m_loaded;
};

// The clip player's video output, loaded the same way.
class OnDemandVideoBackend : public VideoBackend
{
public:
    explicit OnDemandVideoBackend(MediaLoader loader = &MediaLibrary::whenLoaded);
    VideoPlayerPtr createPlayer() override;

private:
    MediaLoader m_loader;
    std::shared_ptr<std::unique_ptr<VideoBackend>> m_loaded;
};

} // namespace nimbra
