#pragma once

#include "platform/audiobackend.h"

namespace nimbra {

// Audio output through QtMultimedia on its GStreamer backend: each item
// gets a player of its own (QtAudioPlayer).
class QtAudioBackend : public AudioBackend
{
public:
    // Chooses the GStreamer backend unless the environment names another;
    // must come before the first media object of the process.
    QtAudioBackend();

    AudioPlayerPtr createPlayer(const QUrl &source) override;
};

} // namespace nimbra
