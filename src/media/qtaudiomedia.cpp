#include "media/qtaudiomedia.h"

#include "media/qtidlestream.h"

namespace nimbra {

QtAudioMedia::QtAudioMedia(QObject *parent) : AudioMedia(parent)
{
    m_player.setAudioOutput(&m_output);
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &AudioMedia::mediaStatusChanged);
    connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &AudioMedia::playbackStateChanged);
    connect(&m_player, &QMediaPlayer::errorOccurred, this, &AudioMedia::errorOccurred);
    connect(&m_player, &QMediaPlayer::seekableChanged, this, &AudioMedia::seekableChanged);
    connect(&m_player, &QMediaPlayer::positionChanged, this, &AudioMedia::positionChanged);
}

std::unique_ptr<QObject> QtAudioMedia::keepOutputAwake()
{
    return std::make_unique<QtIdleStream>();
}

} // namespace nimbra
