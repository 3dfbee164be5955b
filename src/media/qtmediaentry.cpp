#include "media/qtaudiobackend.h"
#include "media/qtframesink.h"
#include "media/qtvideoplayer.h"
#include "platform/mediaentry.h"

#include <QtGlobal>

#include <dlfcn.h>

namespace nimbra {

namespace {

class QtMediaEntry : public MediaEntry
{
public:
    void prepare() override
    {
        // Qt 6.4 also ships an FFmpeg backend, which crashes when no sound
        // server runs; GStreamer copes and streams HTTP by itself.
        if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
        if (qgetenv("QT_MEDIA_BACKEND") != "gstreamer")
            return;
        // Qt's GStreamer backend starts GStreamer with its first media
        // object; starting reads the plugin registry, or rebuilds it by
        // opening every plugin when it is missing or stale. Started here,
        // the backend finds it done. GStreamer comes with QtMultimedia's
        // backend plugin anyway, so it is opened, not linked.
        void *gstreamer = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!gstreamer)
            return;
        using InitCheck = int (*)(int *, char ***, void **);
        if (auto initCheck = reinterpret_cast<InitCheck>(dlsym(gstreamer, "gst_init_check")))
            initCheck(nullptr, nullptr, nullptr);
    }

    std::unique_ptr<AudioBackend> createAudioBackend() override { return std::make_unique<QtAudioBackend>(); }
    std::unique_ptr<VideoBackend> createVideoBackend() override { return std::make_unique<QtVideoBackend>(); }

    QObject *createFrameSink(std::function<void(QImage)> take, QObject *parent) override
    {
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
