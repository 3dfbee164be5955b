#include "media/qtaudiobackend.h"
#include "media/qtframesink.h"
#include "media/qtvideoplayer.h"
#include "platform/mediaentry.h"


namespace nimbra {

namespace {

class QtMediaEntry : public MediaEntry
{
public:
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
