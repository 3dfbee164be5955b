#include "platform/qtvideoplayer.h"

#include <cmath>

namespace nimbra {

QtVideoPlayer::QtVideoPlayer(QObject *parent) : VideoPlayerHandle(parent)
{
    m_player.setAudioOutput(&m_audio);
    m_tick.setInterval(tickInterval);
    connect(&m_tick, &QTimer::timeout, this, [this] { emit timeTick(currentTime()); });
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &QtVideoPlayer::handleStatus);
    connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &QtVideoPlayer::handleState);
    connect(&m_player, &QMediaPlayer::errorOccurred, this,
        [this](QMediaPlayer::Error, const QString &text) { fail(text); });
}

QtVideoPlayer::~QtVideoPlayer()
{
    disconnect(&m_player, nullptr, this, nullptr);
    m_tick.stop();
    m_player.stop();
}

void QtVideoPlayer::load(const QUrl &source)
{
    // The last item's notifications end here, before the next one loads.
    m_tick.stop();
    m_readyReported = false;
    m_failed = false;
    m_player.stop();
    m_player.setSource(QUrl());
    m_player.setSource(source);
}

void QtVideoPlayer::play()
{
    m_player.play();
}

void QtVideoPlayer::pause()
{
    m_player.pause();
}

void QtVideoPlayer::seek(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    m_player.setPosition(qint64(std::llround(std::max(seconds, 0.0) * 1000.0)));
}

double QtVideoPlayer::currentTime() const
{
    return double(m_player.position()) / 1000.0;
}

double QtVideoPlayer::duration() const
{
    const qint64 ms = m_player.duration();
    return ms > 0 ? double(ms) / 1000.0 : qQNaN();
}

void QtVideoPlayer::setVideoOutput(QObject *output)
{
    if (m_output == output)
        return;
    m_output = output;
    m_player.setVideoOutput(output);
}

void QtVideoPlayer::handleStatus(QMediaPlayer::MediaStatus status)
{
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (!m_readyReported && !m_failed) {
            m_readyReported = true;
            emit ready();
        }
        break;
    case QMediaPlayer::EndOfMedia:
        m_tick.stop();
        emit endOfItem();
        break;
    case QMediaPlayer::InvalidMedia:
        fail(m_player.errorString());
        break;
    default:
        break;
    }
}

void QtVideoPlayer::handleState(QMediaPlayer::PlaybackState state)
{
    if (state == QMediaPlayer::PlayingState)
        m_tick.start();
    else
        m_tick.stop();
}

void QtVideoPlayer::fail(const QString &message)
{
    if (m_failed || m_player.source().isEmpty())
        return;
    m_failed = true;
    m_tick.stop();
    emit failed(message);
}

QtVideoBackend::QtVideoBackend()
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

VideoPlayerPtr QtVideoBackend::createPlayer()
{
    return VideoPlayerPtr(new QtVideoPlayer());
}

} // namespace nimbra
