#include "player/playerstore.h"

#include "api/apiconfig.h"
#include "player/audiocacheservice.h"
#include "player/lyricsservice.h"
#include "player/nowplayingcontroller.h"
#include "player/texttrim.h"
#include "api/clock.h"
#include "format/durationtext.h"
#include "api/session.h"

#include <QPointer>
#include <QSettings>

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

double storedCrossfadeDuration()
{
    const double stored = QSettings().value(QLatin1StringView(PlayerStore::crossfadeDurationKey)).toDouble();
    if (!(stored > 0))
        return PlayerStore::defaultCrossfadeDuration;
    return std::min(stored, PlayerStore::maxCrossfadeDuration);
}

} // namespace

PlayerStore::PlayerStore(AudioBackend *backend, Session *session, Clock *clock, LyricsService *lyrics,
    AudioCacheService *cache, QObject *parent)
    : QObject(parent),
      m_backend(backend),
      m_session(session),
      m_clock(clock ? clock : Clock::system()),
      m_lyrics(lyrics ? lyrics : LyricsService::shared()),
      m_cache(cache ? cache : AudioCacheService::shared()),
      m_crossfadeEnabled(QSettings().value(QLatin1StringView(crossfadeEnabledKey), false).toBool()),
      m_crossfadeDuration(storedCrossfadeDuration()),
      m_nowPlaying(std::make_unique<NowPlayingController>())
{
    // The playing row moves with the current track.
    connect(this, &PlayerStore::currentTrackChanged, this, &PlayerStore::queueIndexChanged);
    Q_ASSERT(m_backend);
    installNowPlayingCommands();
    // A copy saved or removed anywhere (a silent save included) changes
    // what the player shows for the current track.
    connect(m_cache, &AudioCacheService::cacheChanged, this, [this](const QString &id) {
        if (m_currentTrack && m_currentTrack->id == id)
            emit currentTrackIsCachedChanged();
    });
    if (m_session)
        connect(m_session, &Session::ended, this, &PlayerStore::endSession);
}

PlayerStore::~PlayerStore()
{
    // Countdowns and lookups see their tokens cancelled and end without
    // touching the store while it is being taken apart.
    m_sleepTask.cancel();
    m_crossfadeTask.cancel();
    m_waveTask.cancel();
    m_lifetime.cancel();
    teardownPlayers();
}

// Queue and transport

void PlayerStore::play(TrackOut track, QList<TrackOut> list)
{
    // A list in which nothing can be played changes nothing: the queue must
    // keep describing what is playing.
    PlayQueue candidate = m_queue;
    const qsizetype start = candidate.place(track, list);
    const auto playable = candidate.firstPlayable(start, [](const TrackOut &t) { return ApiConfig::resolve(t.fileUrl); });
    if (!playable)
        return;
    // The listener's choice wins over a wave still on its way.
    abandonWave();
    m_queue = std::move(candidate);
    queueDidChange();
    m_queue.setIndex(playable->index);
    startPlayback(m_queue.tracks().at(playable->index), playable->url, false);
}

void PlayerStore::playAtIndex(qsizetype index)
{
    const auto start = m_queue.firstPlayable(index, [](const TrackOut &t) { return ApiConfig::resolve(t.fileUrl); });
    if (!start)
        return;
    m_queue.setIndex(start->index);
    startPlayback(m_queue.tracks().at(start->index), start->url, false);
}

void PlayerStore::next()
{
    if (m_queue.isEmpty())
        return;
    if (const auto index = m_queue.nextIndex(m_repeatMode))
        playAtIndex(*index);
    else
        loadSmartWave();
}

void PlayerStore::previous()
{
    if (m_queue.isEmpty())
        return;
    if (m_elapsed > restartThreshold) {
        seek(0);
        return;
    }
    if (const auto index = m_queue.previousIndex(m_repeatMode))
        playAtIndex(*index);
}

void PlayerStore::toggleShuffle()
{
    m_queue.setShuffled(!m_queue.isShuffled(), m_currentTrack);
    emit shuffleEnabledChanged();
    queueDidChange();
}

void PlayerStore::togglePlayPause()
{
    if (!m_player)
        return;
    if (m_isPlaying)
        pauseIfPlaying();
    else
        resume();
}

void PlayerStore::pauseIfPlaying()
{
    if (!m_isPlaying)
        return;
    m_itemEnded = false;
    if (m_player)
        m_player->pause();
    setPlaying(false);
    syncNowPlaying();
}

void PlayerStore::seek(double seconds)
{
    const double target = sanitizedSeconds(seconds);
    m_soundsFrom = target;
    if (m_player)
        m_player->seek(target);
    setElapsed(target);
    syncNowPlaying();
}

void PlayerStore::updateCurrentTrack(TrackOut track)
{
    if (!m_currentTrack || m_currentTrack->id != track.id)
        return;
    m_currentTrack = track;
    emit currentTrackChanged();
    emit durationLabelChanged();
    // The queue holds the newer record too.
    if (m_queue.replaceCurrent(track))
        emit queueChanged();
    // A record that now carries the track's own lyrics puts them in place
    // of whatever a lookup found or has yet to find: a search by title
    // alone may have answered with another artist's song of that name.
    if (m_lyricsTrackId == track.id && !m_ownLyrics && track.lyrics && !isBlank(*track.lyrics)) {
        m_ownLyrics = true;
        setCurrentLyrics(track.lyrics->trimmed());
        setLyricsLoading(false);
    }
}

void PlayerStore::showFullscreenLyrics()
{
    if (!m_currentTrack)
        return;
    setFullscreenWantsLyrics(true);
    setFullscreenPresented(true);
}

void PlayerStore::dismissFullscreen()
{
    setFullscreenPresented(false);
    setFullscreenWantsLyrics(false);
}

QString PlayerStore::durationLabel() const
{
    if (m_duration > 0)
        return durationText(m_duration);
    return durationText(m_currentTrack ? double(m_currentTrack->durationSeconds) : 0.0);
}

// Now-playing panel and media keys

void PlayerStore::installNowPlayingCommands()
{
    // Commands run from the event loop after the desktop asked; they hold
    // the store weakly, so a late one finds nothing to do.
    QPointer<PlayerStore> self(this);
    const auto weakly = [self](void (PlayerStore::*operation)()) {
        return [self, operation] {
            if (self)
                (self.data()->*operation)();
        };
    };
    m_nowPlaying->onPlay = weakly(&PlayerStore::resume);
    m_nowPlaying->onPause = weakly(&PlayerStore::pauseIfPlaying);
    m_nowPlaying->onTogglePlayPause = weakly(&PlayerStore::togglePlayPause);
    m_nowPlaying->onNext = weakly(&PlayerStore::next);
    m_nowPlaying->onPrevious = weakly(&PlayerStore::previous);
    m_nowPlaying->onSeek = [self](double seconds) {
        if (self)
            self->seek(seconds);
    };
}

// The play command: only a paused player starts; nothing loaded, nothing to play.
void PlayerStore::resume()
{
    if (!m_player || m_isPlaying)
        return;
    m_itemEnded = false;
    m_soundsFrom = m_elapsed;
    // The stream let go of is taken again, by now on a resting server.
    if (std::exchange(m_outputReleased, false))
        keepOutputAwake();
    m_player->play();
    setPlaying(true);
    syncNowPlaying();
}

// After every change of track, play state or position.
void PlayerStore::syncNowPlaying()
{
    m_nowPlaying->update(m_currentTrack, m_elapsed, m_duration, m_isPlaying, m_queue.size() > 1);
}

// On every tick: only the numbers change.
void PlayerStore::syncNowPlayingElapsedOnly()
{
    if (m_currentTrack)
        m_nowPlaying->updateElapsed(m_elapsed, m_duration, m_isPlaying);
}

// Lyrics

void PlayerStore::ensureLyrics(const TrackOut &track)
{
    // Lyrics are fetched once per track: playing it again keeps them.
    if (m_lyricsTrackId == track.id)
        return;
    m_lyricsTrackId = track.id;
    m_ownLyrics = track.lyrics && !isBlank(*track.lyrics);
    if (m_ownLyrics) {
        setCurrentLyrics(track.lyrics->trimmed());
        setLyricsLoading(false);
        return;
    }
    setCurrentLyrics(std::nullopt);
    setLyricsLoading(true);
    lookUpLyrics(track, m_lifetime);
}

QCoro::Task<> PlayerStore::lookUpLyrics(TrackOut track, CancelToken token)
{
    QPointer<PlayerStore> self(this);
    const std::optional<QString> lyrics
        = co_await m_lyrics->getLyrics(track.id, track.title, track.artist, track.durationSeconds, token);
    if (token.isCancelled() || !self)
        co_return;
    // Another track started meanwhile: its lookup owns the lyrics state.
    if (m_lyricsTrackId != track.id)
        co_return;
    // The track's own lyrics may have come meanwhile with its full record
    // (updateCurrentTrack); they win over the lookup, a late miss included.
    if (!m_currentLyrics)
        setCurrentLyrics(lyrics);
    setLyricsLoading(false);
}

// Sleep timer

void PlayerStore::setSleepTimer(int minutes)
{
    const CancelToken token = m_sleepTask.renew();
    const QDateTime endAt = m_clock->now().addSecs(qint64(minutes) * 60);
    setSleepTimerValue(SleepTimer::until(endAt));
    runSleepCountdown(endAt, token);
}

void PlayerStore::setSleepTimerEndOfTrack()
{
    m_sleepTask.cancel();
    setSleepRemainingSeconds(0);
    setSleepTimerValue(SleepTimer::endOfTrack());
}

void PlayerStore::cancelSleepTimer()
{
    m_sleepTask.cancel();
    setSleepRemainingSeconds(0);
    setSleepTimerValue(SleepTimer::off());
}

QCoro::Task<> PlayerStore::runSleepCountdown(QDateTime endAt, CancelToken token)
{
    QPointer<PlayerStore> self(this);
    Clock *clock = m_clock;
    for (;;) {
        // A replaced or cancelled countdown never writes again.
        if (token.isCancelled() || !self)
            co_return;
        // Read from the wall clock at every step, so a suspend or a clock
        // change shows at once; the steps themselves sleep monotonically.
        const double remaining = double(clock->now().msecsTo(endAt)) / 1000.0;
        if (remaining <= 0) {
            setSleepRemainingSeconds(0);
            setSleepTimerValue(SleepTimer::off());
            m_sleepTask.finish(token);
            pauseIfPlaying();
            co_return;
        }
        setSleepRemainingSeconds(qint64(std::ceil(remaining)));
        co_await clock->sleep(std::chrono::seconds(1), token);
    }
}

// Properties

QString PlayerStore::currentCoverUrl() const
{
    return m_currentTrack ? m_currentTrack->coverAddress() : QString();
}

bool PlayerStore::currentIsDisliked() const
{
    return m_currentTrack && m_currentTrack->userRating == QStringLiteral("dislike");
}

std::optional<QString> PlayerStore::authToken() const
{
    return m_session ? m_session->token() : std::nullopt;
}

void PlayerStore::queueDidChange()
{
    emit queueChanged();
}

void PlayerStore::setCrossfadeEnabled(bool enabled)
{
    QSettings().setValue(QLatin1StringView(crossfadeEnabledKey), enabled);
    if (m_crossfadeEnabled == enabled)
        return;
    m_crossfadeEnabled = enabled;
    emit crossfadeEnabledChanged();
}

void PlayerStore::setCrossfadeDuration(double seconds)
{
    // 0 and below are kept as given (the settings screen stores 0 for
    // "off", read back as the default next time); NaN is refused.
    if (std::isnan(seconds))
        return;
    seconds = std::min(seconds, maxCrossfadeDuration);
    QSettings().setValue(QLatin1StringView(crossfadeDurationKey), seconds);
    if (m_crossfadeDuration == seconds)
        return;
    m_crossfadeDuration = seconds;
    emit crossfadeDurationChanged();
}

void PlayerStore::setDuration(double seconds)
{
    assign(m_duration, seconds, &PlayerStore::durationChanged);
    emit durationLabelChanged();
}

} // namespace nimbra
