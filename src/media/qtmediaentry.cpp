#include "media/audiosinktuning.h"
#include "media/qtaudiobackend.h"
#include "media/qtframesink.h"
#include "media/qtidlestream.h"
#include "media/qtvideoplayer.h"
#include "platform/mediaentry.h"

#include <QtGlobal>

namespace nimbra {

namespace {

class QtMediaEntry : public MediaEntry
{
public:
    void prepare() override
    {
        // The backends choose GStreamer on the main thread unless the
        // environment names another (the environment is not written from
        // a worker: the main thread reads it meanwhile); install() only
        // reads it. Qt's GStreamer backend starts GStreamer with its first media
        // object; starting reads the plugin registry, or rebuilds it by
        // opening every plugin when it is missing or stale. Started here,
        // the backend finds it done.
        AudioSinkTuning::install();
    }

    std::unique_ptr<AudioBackend> createAudioBackend() override { return std::make_unique<QtAudioBackend>(); }
    QObject *openIdleStream(QObject *parent) override { return new QtIdleStream(parent); }
    std::unique_ptr<VideoBackend> createVideoBackend() override { return std::make_unique<QtVideoBackend>(); }

    QObject *createFrameSink(std::function<void(QImage)> take, QObject *parent) override
    {
        // The surface may come before the clip's player: the sink is the
        // first media object then, which chooses the backend. The main
        // thread waits for this meanwhile.
        if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
        return new QtFrameSink(std::move(take), parent);
    }
};

} // namespace

} // namespace nimbra

extern "C" Q_DECL_EXPORT nimbra::MediaEntry *nimbraMediaEntry()
{
    static nimbra::QtMediaEntry entry;
    return &entry;
}
