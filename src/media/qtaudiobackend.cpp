#include "media/qtaudiobackend.h"

#include "media/audiosinktuning.h"
#include "media/qtaudioplayer.h"

namespace nimbra {

QtAudioBackend::QtAudioBackend()
{
    // Qt 6.4 also ships an FFmpeg backend, which crashes when no sound
    // server runs; GStreamer copes and streams HTTP by itself.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    AudioSinkTuning::install();
}

AudioPlayerPtr QtAudioBackend::createPlayer(const QUrl &source)
{
    return AudioPlayerPtr(new QtAudioPlayer(source));
}

} // namespace nimbra
