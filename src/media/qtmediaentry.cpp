#include "media/qtaudiobackend.h"
#include "media/qtvideoplayer.h"
#include "platform/mediaentry.h"

#include <QVideoFrame>
#include <QVideoSink>

namespace nimbra {

namespace {

class QtMediaEntry : public MediaEntry
{
public:
    std::unique_ptr<AudioBackend> createAudioBackend() override { return std::make_unique<QtAudioBackend>(); }
    std::unique_ptr<VideoBackend> createVideoBackend() override { return std::make_unique<QtVideoBackend>(); }

    QObject *createFrameSink(std::function<void(QImage)> take, QObject *parent) override
    {
        auto *sink = new QVideoSink(parent);
        QObject::connect(sink, &QVideoSink::videoFrameChanged, sink,
            [take = std::move(take)](const QVideoFrame &frame) { take(frame.isValid() ? frame.toImage() : QImage()); },
            Qt::DirectConnection);
        return sink;
    }
};

} // namespace

} // namespace nimbra

extern "C" Q_DECL_EXPORT nimbra::MediaEntry *nimbraMediaEntry()
{
    static nimbra::QtMediaEntry entry;
    return &entry;
}
