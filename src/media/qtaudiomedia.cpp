#include "media/qtaudiomedia.h"

#include "media/qtidlestream.h"

namespace nimbra {

QtAudioMedia::QtAudioMedia(QObject *parent) : AudioMedia(parent)
{
    makePlayer();
}

// QMediaPlayer stops before it takes another source, and a stop rewinds a
// stream: the service would be asked for the whole file once more just as
// the player lets go of it. A player that has held a source is replaced
// instead; one that is deleted goes without a stop.
void QtAudioMedia::setSource(const QUrl &source)
{
    const ClaimedSink::Claim claim(m_sink);
    if (!m_player->source().isEmpty())
        makePlayer();
    if (!source.isEmpty())
        m_player->setSource(source);
}

void QtAudioMedia::makePlayer()
{
    const ClaimedSink::Claim claim(m_sink);
    // The old player's sink no longer speaks for this media.
    m_sink.forget();
    const bool hadOutput = !m_player || m_player->audioOutput();
    if (m_player) {
        // Silent at once, and deleted from the event loop: this may run
        // inside one of its own signals.
        disconnect(m_player, nullptr, this, nullptr);
        m_output->setMuted(true);
        m_player->deleteLater();
    }
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(m_player);
    m_output->setVolume(m_volume);
    if (hadOutput)
        m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &AudioMedia::mediaStatusChanged);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, &AudioMedia::playbackStateChanged);
    connect(m_player, &QMediaPlayer::errorOccurred, this, &AudioMedia::errorOccurred);
    connect(m_player, &QMediaPlayer::seekableChanged, this, &AudioMedia::seekableChanged);
    connect(m_player, &QMediaPlayer::positionChanged, this, &AudioMedia::positionChanged);
}

void QtAudioMedia::play()
{
    const ClaimedSink::Claim claim(m_sink);
    m_player->play();
}

void QtAudioMedia::pause()
{
    const ClaimedSink::Claim claim(m_sink);
    m_player->pause();
}

void QtAudioMedia::setPosition(qint64 positionMs)
{
    const ClaimedSink::Claim claim(m_sink);
    m_player->setPosition(positionMs);
}

void QtAudioMedia::releaseOutput()
{
    const ClaimedSink::Claim claim(m_sink);
    m_player->setAudioOutput(nullptr);
}

void QtAudioMedia::takeOutput()
{
    const ClaimedSink::Claim claim(m_sink);
    if (!m_player->audioOutput())
        m_player->setAudioOutput(m_output);
}

std::unique_ptr<QObject> QtAudioMedia::keepOutputAwake()
{
    return std::make_unique<QtIdleStream>();
}

} // namespace nimbra
