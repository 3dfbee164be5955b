#include "media/qtvideoplayer.h"

#include "media/audiosinktuning.h"

#include <cmath>

namespace nimbra {

QtVideoPlayer::QtVideoPlayer(QObject *parent) : VideoPlayerHandle(parent)
{
    m_tick.setInterval(tickInterval);
    connect(&m_tick, &QTimer::timeout, this, [this] { emit timeTick(currentTime()); });
}

QtVideoPlayer::~QtVideoPlayer()
{
    m_tick.stop();
    release();
}

void QtVideoPlayer::release()
{
    if (!m_item)
        return;
    QMediaPlayer &player = m_item->player;
    // Nothing the item says from here on belongs to the next one.
    disconnect(&player, nullptr, this, nullptr);
    // Dropped at once rather than later: the sink can serve the next
    // item's pipeline only once this one has let go of it. The player
    // takes its pipeline down without waiting for a picture in flight, as
    // the sink answers on a thread of its own (VideoFrameItem).
    m_item.reset();
}

void QtVideoPlayer::load(const QUrl &source)
{
    m_tick.stop();
    m_readyReported = false;
    m_failed = false;
    release();
    if (source.isEmpty())
        return;
    m_item = std::make_unique<Item>();
    QMediaPlayer &player = m_item->player;
    connect(&player, &QMediaPlayer::mediaStatusChanged, this, &QtVideoPlayer::handleStatus);
    connect(&player, &QMediaPlayer::playbackStateChanged, this, &QtVideoPlayer::handleState);
    connect(&player, &QMediaPlayer::positionChanged, this, &QtVideoPlayer::handlePosition);
    connect(&player, &QMediaPlayer::errorOccurred, this,
        [this](QMediaPlayer::Error, const QString &text) { fail(text); });
    if (m_output)
        player.setVideoOutput(m_output.data());
    player.setSource(source);
}

void QtVideoPlayer::play()
{
    if (m_item && !m_failed)
        m_item->player.play();
}

void QtVideoPlayer::pause()
{
    if (m_item)
        m_item->player.pause();
}

void QtVideoPlayer::seek(double seconds)
{
    if (!m_item || !std::isfinite(seconds))
        return;
    m_item->player.setPosition(qint64(std::llround(std::max(seconds, 0.0) * 1000.0)));
}

double QtVideoPlayer::currentTime() const
{
    return m_item ? double(m_item->player.position()) / 1000.0 : 0.0;
}

double QtVideoPlayer::duration() const
{
    const qint64 ms = m_item ? m_item->player.duration() : 0;
    return ms > 0 ? double(ms) / 1000.0 : qQNaN();
}

void QtVideoPlayer::setVideoOutput(QObject *output)
{
    if (m_output == output)
        return;
    m_output = output;
    if (m_item)
        m_item->player.setVideoOutput(output);
}

void QtVideoPlayer::handleStatus(QMediaPlayer::MediaStatus status)
{
    switch (status) {
    case QMediaPlayer::EndOfMedia:
        m_tick.stop();
        // GStreamer may still post the end of a stream that already failed;
        // the failure moved the queue on, an end would move it once more.
        if (!m_failed)
            emit endOfItem();
        break;
    case QMediaPlayer::InvalidMedia:
        fail(m_item ? m_item->player.errorString() : QString());
        break;
    default:
        break;
    }
}

void QtVideoPlayer::handleState(QMediaPlayer::PlaybackState state)
{
    if (state == QMediaPlayer::PlayingState && !m_failed)
        m_tick.start();
    else
        m_tick.stop();
}

void QtVideoPlayer::handlePosition(qint64 milliseconds)
{
    // Loaded is not yet playable: a missing file can still fail after its
    // headers came. Only time that runs proves that the item plays.
    if (m_readyReported || m_failed || milliseconds <= 0 || !m_item
        || m_item->player.playbackState() != QMediaPlayer::PlayingState)
        return;
    m_readyReported = true;
    emit ready();
}

void QtVideoPlayer::fail(const QString &message)
{
    if (m_failed || !m_item)
        return;
    m_failed = true;
    m_tick.stop();
    emit failed(message);
}

QtVideoBackend::QtVideoBackend()
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    AudioSinkTuning::install();
}

VideoPlayerPtr QtVideoBackend::createPlayer()
{
    return VideoPlayerPtr(new QtVideoPlayer());
}

} // namespace nimbra
