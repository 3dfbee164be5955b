#include "media/qtaudioplayer.h"

#include <cmath>

namespace nimbra {

QtAudioPlayer::QtAudioPlayer(const QUrl &source, QObject *parent) : AudioPlayerHandle(parent), m_source(source)
{
    m_output.setVolume(m_volume);
    m_player.setAudioOutput(&m_output);
    m_tick.setInterval(tickInterval);
    connect(&m_tick, &QTimer::timeout, this, [this] { emit timeTick(currentTime()); });
    connect(&m_player, &QMediaPlayer::mediaStatusChanged, this, &QtAudioPlayer::handleStatus);
    connect(&m_player, &QMediaPlayer::playbackStateChanged, this, &QtAudioPlayer::handleState);
    connect(&m_player, &QMediaPlayer::errorOccurred, this, &QtAudioPlayer::handleError);
    connect(&m_player, &QMediaPlayer::seekableChanged, this, [this] { applyPendingSeek(); });
    connect(&m_player, &QMediaPlayer::positionChanged, this, &QtAudioPlayer::settleSeek);
    m_player.setSource(m_source);
}

QtAudioPlayer::~QtAudioPlayer()
{
    // Nothing of a dropped player may reach its owner any more.
    disconnect(&m_player, nullptr, this, nullptr);
    m_tick.stop();
    m_player.stop();
}

void QtAudioPlayer::play()
{
    if (m_failed) {
        m_failed = false;
        m_seekSent = false;
        m_player.setSource(QUrl());
        m_player.setSource(m_source);
    }
    m_player.play();
}

void QtAudioPlayer::pause()
{
    m_player.pause();
}

void QtAudioPlayer::seek(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    m_seekTargetMs = qint64(std::llround(std::max(seconds, 0.0) * 1000.0));
    m_seekSent = false;
    applyPendingSeek();
}

bool QtAudioPlayer::canSeekNow() const
{
    switch (m_player.mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        return m_player.isSeekable();
    default:
        return false;
    }
}

void QtAudioPlayer::applyPendingSeek()
{
    if (!m_seekTargetMs || m_seekSent || !canSeekNow())
        return;
    m_seekSent = true;
    m_positionsSinceSeek = 0;
    // The backend reports the asked position at once, before it has got
    // there: only what it reports afterwards counts.
    m_settingPosition = true;
    m_player.setPosition(*m_seekTargetMs);
    m_settingPosition = false;
}

// The seek has landed once the player reports a position at or just past
// the target. A seek the media never carries out must not freeze the
// position shown: after some seconds of reports the player's own word
// counts.
void QtAudioPlayer::settleSeek(qint64 position)
{
    if (!m_seekTargetMs || !m_seekSent || m_settingPosition)
        return;
    constexpr qint64 landedWindowMs = 2000;
    constexpr int reportsBeforeGivingUp = 30;
    const qint64 target = *m_seekTargetMs;
    if ((position >= target && position < target + landedWindowMs) || ++m_positionsSinceSeek > reportsBeforeGivingUp)
        m_seekTargetMs.reset();
}

void QtAudioPlayer::setVolume(float volume)
{
    m_volume = std::clamp(volume, 0.0f, 1.0f);
    m_output.setVolume(m_volume);
}

double QtAudioPlayer::currentTime() const
{
    return double(m_seekTargetMs.value_or(m_player.position())) / 1000.0;
}

double QtAudioPlayer::duration() const
{
    const qint64 ms = m_player.duration();
    return ms > 0 ? double(ms) / 1000.0 : qQNaN();
}

void QtAudioPlayer::handleStatus(QMediaPlayer::MediaStatus status)
{
    applyPendingSeek();
    if (status == QMediaPlayer::EndOfMedia) {
        m_seekTargetMs.reset();
        m_tick.stop();
        emit endOfItem();
    } else if (status == QMediaPlayer::InvalidMedia) {
        handleError(QMediaPlayer::FormatError, m_player.errorString());
    }
}

void QtAudioPlayer::handleState(QMediaPlayer::PlaybackState state)
{
    // The tick runs only while the item plays.
    if (state == QMediaPlayer::PlayingState)
        m_tick.start();
    else
        m_tick.stop();
}

void QtAudioPlayer::handleError(QMediaPlayer::Error error, const QString &text)
{
    if (error == QMediaPlayer::NoError || m_failed)
        return;
    m_failed = true;
    m_tick.stop();
    emit failed(text);
}

} // namespace nimbra
