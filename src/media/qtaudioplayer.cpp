#include "media/qtaudioplayer.h"

#include "api/clock.h"
#include "media/exactcopy.h"
#include "media/qtaudiomedia.h"

#include <QPointer>

#include <cmath>

namespace nimbra {

QtAudioPlayer::QtAudioPlayer(const QUrl &source, QObject *parent)
    : QtAudioPlayer(source, std::make_unique<QtAudioMedia>(), Clock::system(), parent)
{
}

QtAudioPlayer::QtAudioPlayer(const QUrl &source, std::unique_ptr<AudioMedia> media, Clock *clock, QObject *parent)
    : AudioPlayerHandle(parent), m_source(source), m_media(std::move(media)), m_clock(clock),
      m_copyRoom(&ExactCopy::freeRoom)
{
    m_media->setVolume(m_volume);
    m_tick.setInterval(tickInterval);
    connect(&m_tick, &QTimer::timeout, this, [this] { emit timeTick(currentTime()); });
    AudioMedia *played = m_media.get();
    connect(played, &AudioMedia::mediaStatusChanged, this, &QtAudioPlayer::handleStatus);
    connect(played, &AudioMedia::playbackStateChanged, this, &QtAudioPlayer::handleState);
    connect(played, &AudioMedia::errorOccurred, this, &QtAudioPlayer::handleError);
    connect(played, &AudioMedia::seekableChanged, this, [this] { applyPendingSeek(); });
    connect(played, &AudioMedia::positionChanged, this, &QtAudioPlayer::settleSeek);
    m_media->setSource(m_source);
}

QtAudioPlayer::~QtAudioPlayer()
{
    // Nothing of a dropped player may reach its owner any more.
    disconnect(m_media.get(), nullptr, this, nullptr);
    m_watch.cancel();
    m_copyWait.cancel();
    m_tick.stop();
    // The media goes with it, neither stopped nor unloaded first: either
    // rewinds the stream, which asks the service for the whole file again
    // just before the player goes.
}

qint64 QtAudioPlayer::copyLimit(qint64 durationMs)
{
    // 12 Mbit/s: above stereo 24-bit 192 kHz PCM (9.2 Mbit/s), which a
    // lossless file never passes by more than its framing; and room for the
    // tags and a cover (a FLAC metadata block holds at most 16 MiB). A
    // length past half a day is no song's: it is counted as half a day.
    constexpr qint64 bytesPerSecond = 1'500'000;
    constexpr qint64 taggingBytes = 16 << 20;
    constexpr qint64 unknownSeconds = 3600;
    constexpr qint64 longestSeconds = 12 * 3600;
    const qint64 seconds = durationMs > 0 ? std::min((durationMs + 999) / 1000, longestSeconds) : unknownSeconds;
    return seconds * bytesPerSecond + taggingBytes;
}

void QtAudioPlayer::load()
{
    // The outgoing media reports its last status and position while it
    // goes: a seek handed to it would be lost with it.
    m_loading = true;
    m_media->setSource(QUrl());
    m_media->setSource(m_copyFile.isEmpty() ? m_source : m_copyFile);
    m_loading = false;
    m_seekSent = false;
    m_silence.reset();
}

// Uncompressed audio is seeked by arithmetic, a local file by the media
// itself; a compressed stream is seeked by a guess.
bool QtAudioPlayer::seeksByGuess() const
{
    const QString scheme = m_source.scheme();
    return m_copyFile.isEmpty() && !m_copyFailed && (scheme == u"http" || scheme == u"https")
        && !m_source.path().endsWith(u".wav", Qt::CaseInsensitive);
}

void QtAudioPlayer::fetchExactCopy()
{
    if (m_copy)
        return;
    m_copy = std::make_unique<ExactCopy>(m_source, copyLimit(m_media->duration()), m_copyRoom);
    connect(m_copy.get(), &ExactCopy::finished, this, [this](const QUrl &file) {
        m_copyWait.cancel();
        if (file.isEmpty()) {
            // The stream's own guess is better than no seek at all.
            m_copyFailed = true;
            applyPendingSeek();
            return;
        }
        playExactCopy(file);
    });
    waitForCopy(m_copyWait.renew());
}

QCoro::Task<> QtAudioPlayer::waitForCopy(CancelToken token)
{
    const QPointer<QtAudioPlayer> self(this);
    Clock *clock = m_clock;
    co_await clock->sleep(copyPatience, token);
    if (!self || token.isCancelled())
        co_return;
    m_copyWait.finish(token);
    applyPendingSeek();
}

// Goes on from the position wanted (or, when the stream took the seek
// meanwhile, from where it got to), loaded from the file.
void QtAudioPlayer::playExactCopy(const QUrl &file)
{
    m_copyFile = file;
    m_seekTargetMs = m_seekTargetMs.value_or(m_reachedMs);
    if (m_wantsToPlay) {
        m_awake = m_media->keepOutputAwake();
        m_awakeFromMs = *m_seekTargetMs;
    }
    load();
    m_standing = {};
    if (m_wantsToPlay)
        m_media->play();
}

void QtAudioPlayer::play()
{
    m_media->takeOutput();
    // As after the media's own end, the item starts over.
    if (m_finished) {
        m_finished = false;
        m_seekTargetMs = 0;
        m_seekSent = false;
        applyPendingSeek();
    }
    if (m_failed) {
        m_failed = false;
        m_resumesWithoutProgress = 0;
        load();
    }
    m_wantsToPlay = true;
    m_standing = {};
    m_silence.reset();
    if (!m_watch.isRunning())
        watchWhilePlaying(m_watch.renew());
    m_media->play();
}

void QtAudioPlayer::pause()
{
    m_wantsToPlay = false;
    m_watch.cancel();
    m_awake.reset();
    // A media at its end is silent already, and a pause there rewinds it,
    // which asks the service for the stream again.
    if (!m_finished)
        m_media->pause();
}

QCoro::Task<> QtAudioPlayer::watchWhilePlaying(CancelToken token)
{
    const QPointer<QtAudioPlayer> self(this);
    Clock *clock = m_clock;
    for (;;) {
        co_await clock->sleep(tickInterval, token);
        if (!self || token.isCancelled())
            co_return;
        watch();
    }
}

// Without an output the media stays loaded and seeks as before; the sound
// server's stream goes with the output.
void QtAudioPlayer::releaseOutput()
{
    if (!m_wantsToPlay)
        m_media->releaseOutput();
}

// Ten times a second while the item should play: the media's own position
// (not a seek target shown meanwhile) has to move, and be heard.
void QtAudioPlayer::watch()
{
    const qint64 position = m_media->position();
    if (position != m_lastSeenMs) {
        m_lastSeenMs = position;
        m_standing = {};
        if (!m_seekTargetMs)
            m_reachedMs = position;
        constexpr qint64 soundedMs = 50;
        if (!m_seekTargetMs && position >= m_awakeFromMs + soundedMs)
            m_awake.reset();
        const bool silent = isSilent(position);
        constexpr qint64 progressMs = 1000;
        if (m_resumedFromMs >= 0 && m_silence.heardMs(position) > m_resumedFromMs + progressMs && !m_seekTargetMs) {
            m_resumesWithoutProgress = 0;
            m_resumedFromMs = -1;
        }
        if (silent)
            resumeAt(m_silence.heardMs(position));
        return;
    }
    m_standing += tickInterval;
    if (m_standing < stallLimit)
        return;
    // In its last moments the media has handed all it had to the sound
    // server, which plays it out before the media says it ended: standing
    // there (a busy sound server took seconds) is the end.
    if (isAtItsEnd(reachedMs())) {
        m_media->pause();
        finish();
        return;
    }
    resumeAt(m_seekTargetMs.value_or(m_reachedMs));
}

// Not while a seek or a load starts the sink afresh, the media waits for the
// network, or the sound server plays out the item's last moments.
bool QtAudioPlayer::isSilent(qint64 positionMs)
{
    const QMediaPlayer::MediaStatus status = m_media->mediaStatus();
    const bool loaded = status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia;
    if (m_seekTargetMs || m_loading || !loaded || isAtItsEnd(positionMs)) {
        m_silence.reset();
        return false;
    }
    return m_silence.isSilent(positionMs, m_media->renderedBuffers());
}

qint64 QtAudioPlayer::reachedMs() const
{
    return std::max(m_reachedMs, m_seekTargetMs.value_or(0));
}

bool QtAudioPlayer::isAtItsEnd(qint64 positionMs) const
{
    const qint64 length = m_media->duration();
    return length > 0 && positionMs >= length - earlyEndMs;
}

void QtAudioPlayer::finish()
{
    m_awake.reset();
    m_finished = true;
    m_seekTargetMs.reset();
    m_wantsToPlay = false;
    m_watch.cancel();
    m_tick.stop();
    emit endOfItem();
}

void QtAudioPlayer::resumeAt(qint64 positionMs)
{
    if (m_resumesWithoutProgress >= resumesBeforeFailing) {
        fail(QStringLiteral("The audio stream stopped at %1 s").arg(double(positionMs) / 1000.0, 0, 'f', 1));
        return;
    }
    // First in place: the media has parsed its way up to here, so it can
    // find the spot without guessing. QMediaPlayer takes no seek to the
    // position it stands at, so it is asked for a moment before. A player
    // that still does not move is loaded afresh.
    const bool inPlace = m_resumesWithoutProgress++ == 0;
    if (!inPlace)
        load();
    m_resumedFromMs = positionMs;
    m_seekTargetMs = inPlace ? std::max<qint64>(positionMs - 1, 0) : positionMs;
    m_seekSent = false;
    m_standing = {};
    m_silence.reset();
    applyPendingSeek();
    m_media->play();
}

void QtAudioPlayer::fail(const QString &text)
{
    m_awake.reset();
    m_failed = true;
    m_wantsToPlay = false;
    m_tick.stop();
    m_watch.cancel();
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
    m_standing = {};
    m_silence.reset();
    if (seeksByGuess()) {
        fetchExactCopy();
        if (m_copyWait.isRunning())
            return;
    }
    applyPendingSeek();
}

bool QtAudioPlayer::canSeekNow() const
{
    switch (m_media->mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        return m_media->isSeekable();
    default:
        return false;
    }
}

void QtAudioPlayer::applyPendingSeek()
{
    if (!m_seekTargetMs || m_seekSent || m_loading || m_copyWait.isRunning() || !canSeekNow())
        return;
    m_seekSent = true;
    m_positionsSinceSeek = 0;
    // The backend reports the asked position at once, before it has got
    // there: only what it reports afterwards counts.
    m_settingPosition = true;
    m_media->setPosition(*m_seekTargetMs);
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
    m_media->setVolume(m_volume);
}

double QtAudioPlayer::currentTime() const
{
    return double(m_seekTargetMs.value_or(m_media->position())) / 1000.0;
}

double QtAudioPlayer::duration() const
{
    const qint64 ms = m_media->duration();
    return ms > 0 ? double(ms) / 1000.0 : qQNaN();
}

void QtAudioPlayer::handleStatus(QMediaPlayer::MediaStatus status)
{
    applyPendingSeek();
    if (status == QMediaPlayer::EndOfMedia) {
        if (m_finished)
            return;
        // A stream cut short by an estimated seek ends well before the
        // item's own length: that is no end, playback goes on from there.
        // The player reports the end of the segment as its position now;
        // what counts is the last position it reported while it played.
        const qint64 reached = reachedMs();
        if (m_wantsToPlay && m_media->duration() > 0 && !isAtItsEnd(reached)) {
            resumeAt(reached);
            return;
        }
        finish();
    } else if (status == QMediaPlayer::InvalidMedia) {
        handleError(QMediaPlayer::FormatError, m_media->errorString());
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
