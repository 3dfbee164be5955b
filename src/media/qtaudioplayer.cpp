#include "media/qtaudioplayer.h"

#include "api/network.h"

#include <QNetworkAccessManager>

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
    m_watchdog.setInterval(tickInterval);
    m_copyWait.setSingleShot(true);
    m_copyWait.setInterval(1000);
    connect(&m_copyWait, &QTimer::timeout, this, [this] { applyPendingSeek(); });
    connect(&m_watchdog, &QTimer::timeout, this, &QtAudioPlayer::watch);
    m_player.setSource(m_source);
}

QtAudioPlayer::~QtAudioPlayer()
{
    // Nothing of a dropped player may reach its owner any more.
    disconnect(&m_player, nullptr, this, nullptr);
    if (m_copyReply) {
        m_copyReply->disconnect(this);
        m_copyReply->abort();
        m_copyReply->deleteLater();
    }
    m_tick.stop();
    m_watchdog.stop();
    // Unloaded rather than stopped: a stop rewinds a stream, which asks the
    // service for the whole file again just before the player goes.
    m_player.setSource(QUrl());
}

void QtAudioPlayer::load()
{
    // The outgoing media reports its last status and position while it
    // goes: a seek handed to it would be lost with it.
    m_loading = true;
    m_player.setSource(QUrl());
    if (m_onCopy) {
        m_copy.seek(0);
        m_player.setSourceDevice(&m_copy, m_source);
    } else {
        m_player.setSource(m_source);
    }
    m_loading = false;
    m_seekSent = false;
}

// Uncompressed audio is seeked by arithmetic, a local file by the media
// itself; a compressed stream is seeked by a guess.
bool QtAudioPlayer::seeksByGuess() const
{
    const QString scheme = m_source.scheme();
    return !m_onCopy && !m_copyFailed && (scheme == u"http" || scheme == u"https")
        && !m_source.path().endsWith(u".wav", Qt::CaseInsensitive);
}

void QtAudioPlayer::fetchExactCopy()
{
    if (m_copyReply)
        return;
    m_copyWait.start();
    QNetworkReply *reply = sharedNetworkAccessManager()->get(QNetworkRequest(m_source));
    m_copyReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        m_copyWait.stop();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status != 200) {
            // The stream's own guess is better than no seek at all.
            m_copyFailed = true;
            applyPendingSeek();
            return;
        }
        playExactCopy(reply->readAll());
    });
}

// Goes on from the position wanted (or, when the stream took the seek
// meanwhile, from where it got to), loaded from memory.
void QtAudioPlayer::playExactCopy(QByteArray data)
{
    m_copyData = std::move(data);
    m_copy.close();
    m_copy.setBuffer(&m_copyData);
    m_copy.open(QIODevice::ReadOnly);
    m_onCopy = true;
    m_seekTargetMs = m_seekTargetMs.value_or(m_reachedMs);
    load();
    m_sinceMoved.start();
    if (m_wantsToPlay)
        m_player.play();
}

void QtAudioPlayer::play()
{
    if (!m_player.audioOutput())
        m_player.setAudioOutput(&m_output);
    if (m_failed) {
        m_failed = false;
        m_resumesWithoutProgress = 0;
        load();
    }
    m_wantsToPlay = true;
    m_sinceMoved.start();
    m_watchdog.start();
    m_player.play();
}

void QtAudioPlayer::pause()
{
    m_wantsToPlay = false;
    m_watchdog.stop();
    m_player.pause();
}

// Without an output the media stays loaded and seeks as before; the sound
// server's stream goes with the output.
void QtAudioPlayer::releaseOutput()
{
    if (!m_wantsToPlay)
        m_player.setAudioOutput(nullptr);
}

// Ten times a second while the item should play: the media's own position
// (not a seek target shown meanwhile) has to move.
void QtAudioPlayer::watch()
{
    const qint64 position = m_player.position();
    if (position != m_lastSeenMs) {
        m_lastSeenMs = position;
        m_sinceMoved.start();
        if (!m_seekTargetMs)
            m_reachedMs = position;
        constexpr qint64 progressMs = 1000;
        if (m_resumedFromMs >= 0 && position > m_resumedFromMs + progressMs && !m_seekTargetMs) {
            m_resumesWithoutProgress = 0;
            m_resumedFromMs = -1;
        }
        return;
    }
    if (m_sinceMoved.elapsed() >= stallLimitMs)
        resumeAt(m_seekTargetMs.value_or(m_reachedMs));
}

void QtAudioPlayer::resumeAt(qint64 positionMs)
{
    if (m_resumesWithoutProgress >= resumesBeforeFailing) {
        fail(QStringLiteral("The audio stream stopped at %1 s").arg(double(positionMs) / 1000.0, 0, 'f', 1));
        return;
    }
    // First in place: the media has parsed its way up to here, so it can
    // find the spot without guessing. A player that still does not move is
    // loaded afresh.
    if (m_resumesWithoutProgress++ > 0)
        load();
    m_resumedFromMs = positionMs;
    m_seekTargetMs = positionMs;
    m_seekSent = false;
    m_sinceMoved.start();
    applyPendingSeek();
    m_player.play();
}

void QtAudioPlayer::fail(const QString &text)
{
    m_failed = true;
    m_wantsToPlay = false;
    m_tick.stop();
    m_watchdog.stop();
    emit failed(text);
}

void QtAudioPlayer::seek(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    m_seekTargetMs = qint64(std::llround(std::max(seconds, 0.0) * 1000.0));
    m_seekSent = false;
    // The listener's seek is a fresh start for the stall count.
    m_resumesWithoutProgress = 0;
    m_resumedFromMs = -1;
    m_sinceMoved.start();
    if (seeksByGuess()) {
        fetchExactCopy();
        if (m_copyWait.isActive())
            return;
    }
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
    if (!m_seekTargetMs || m_seekSent || m_loading || m_copyWait.isActive() || !canSeekNow())
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
    if ((position >= target && position < target + landedWindowMs) || ++m_positionsSinceSeek > reportsBeforeGivingUp) {
        m_seekTargetMs.reset();
        m_reachedMs = position;
    }
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
        // A stream cut short by an estimated seek ends well before the
        // item's own length: that is no end, playback goes on from there.
        const qint64 length = m_player.duration();
        // The player reports the end of the segment as its position now;
        // what counts is the last position it reported while it played.
        const qint64 reached = std::max(m_reachedMs, m_seekTargetMs.value_or(0));
        if (m_wantsToPlay && length > 0 && reached < length - earlyEndMs) {
            resumeAt(reached);
            return;
        }
        m_seekTargetMs.reset();
        m_wantsToPlay = false;
        m_watchdog.stop();
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
    fail(text);
}

} // namespace nimbra
