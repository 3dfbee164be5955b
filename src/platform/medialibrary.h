#pragma once

#include "platform/audiobackend.h"
#include "platform/mediaentry.h"

#include <memory>

namespace nimbra {

// The media library, loaded from the folder of the core library the first
// time something plays or shows video. Without it nothing could ever play:
// a program installed without it stops with a message at the first play.
class MediaLibrary
{
public:
    static MediaEntry &entry();
    // Whether it was loaded already (for tests and measurements).
    static bool isLoaded();
};

// The program's audio output: the media library's, loaded at the first
// player asked for.
class OnDemandAudioBackend : public AudioBackend
{
public:
    AudioPlayerPtr createPlayer(const QUrl &source) override;

private:
    std::unique_ptr<AudioBackend> m_loaded;
};

} // namespace nimbra
