// The engine room of PlayerStore: starting a track on a new player, the
// periodic tick, the crossfade, the end of an item, the wave that continues
// an exhausted queue, and the offline copies.

#include "player/playerstore.h"

#include "api/session.h"
#include "api/boundary.h"

#include "api/apiconfig.h"
#include "api/error.h"
#include "format/durationtext.h"
#include "player/audiocacheservice.h"
#include "player/crossfaderamp.h"
#include "api/clock.h"

using namespace Qt::StringLiterals;

namespace nimbra {

void PlayerStore::startPlayback(const TrackOut &track, const QUrl &url, bool crossfade)
{
    abandonWave();
    m_crossfadeTask.cancel();
    // A fade needs a track to fade out of.
    crossfade = crossfade && m_player;
    const bool quick = !crossfade && isStarting();
    if (crossfade) {
        detachPlayer();
        if (m_fadingOutPlayer) {
            m_fadingOutPlayer->pause();
            m_fadingOutPlayer.reset();
        }
        m_fadingOutPlayer = std::move(m_player);
    } else {
        keepOutputUntilSounding();
        keepOutputAwake();
    }
    m_isCrossfading = crossfade;
    m_itemEnded = false;
    m_outputReleased = false;
    m_soundsFrom = 0;

    m_currentTrack = track;
    emit currentTrackChanged();
    emit currentTrackIsCachedChanged();
    ensureLyrics(track);
    setDuration(sanitizedSeconds(double(track.durationSeconds)));
    setElapsed(0);

    setPlaying(true);
    if (quick)
        m_heldStart.hold(url);
    else
        startPlayer(track, url, crossfade);
    syncNowPlaying();
}

// While the player made for the press before has not sounded yet, a press
// is one of a quick series: the first of a series, or a press on its own,
// starts at once. A fade's players go at a press anyway.
bool PlayerStore::isStarting() const
{
    return m_isPlaying && !m_itemEnded && !m_isCrossfading
        && (m_heldStart.isHeld() || (m_player && !m_playerSounded));
}

void PlayerStore::startPlayer(const TrackOut &track, const QUrl &url, bool crossfade)
{
    m_heldStart.drop();
    // A track passed over in a quick series was never heard.
    countPlayAndSaveSilently(track, url);
    const QUrl source = m_cache->localUrl(track.id).value_or(url);

    m_player = m_backend->createPlayer(source);
    m_playerSounded = false;
    m_player->setVolume(crossfade ? 0.0f : 1.0f);
    connect(m_player.get(), &AudioPlayerHandle::timeTick, this, &PlayerStore::handleTick);
    connect(m_player.get(), &AudioPlayerHandle::endOfItem, this, &PlayerStore::handleEndOfItem);
    connect(m_player.get(), &AudioPlayerHandle::failed, this, &PlayerStore::handlePlayerFailure);
    // A seek made while the start was held.
    if (m_elapsed > 0)
        m_player->seek(m_elapsed);
    m_player->play();
    if (crossfade)
        runCrossfade(m_crossfadeDuration, m_fadingOutPlayer.get(), m_player.get(), m_crossfadeTask.renew());
}

void PlayerStore::startHeldPlayer(const QUrl &url)
{
    if (m_currentTrack)
        startPlayer(*m_currentTrack, url, false);
}

void PlayerStore::endSession()
{
    abandonWave();
    m_heldStart.drop();
    cancelSleepTimer();
    teardownPlayers();
    m_queue.clear();
    queueDidChange();
    m_currentTrack.reset();
    m_lyricsTrackId.reset();
    setCurrentLyrics(std::nullopt);
    setLyricsLoading(false);
    setPlaying(false);
    setElapsed(0);
    setDuration(0);
    // A save under way goes on (offline copies outlive the session), but
    // its outcome is no longer anybody's to be told.
    setCachingTrackId(std::nullopt);
    setCacheMessage(std::nullopt);
    setFullscreenPresented(false);
    setFullscreenWantsLyrics(false);
    m_sessionPlayCount.clear();
    emit currentTrackChanged();
    emit currentTrackIsCachedChanged();
    emit shuffleEnabledChanged();
    syncNowPlaying();
}

void PlayerStore::detachPlayer()
{
    if (m_player)
        disconnect(m_player.get(), nullptr, this, nullptr);
}

void PlayerStore::teardownPlayers()
{
    m_outputRestTask.cancel();
    detachPlayer();
    if (m_player) {
        m_player->pause();
        m_player.reset();
    }
    endCrossfade();
    dropKeptOutput();
}

void PlayerStore::endCrossfade()
{
    m_crossfadeTask.cancel();
    m_isCrossfading = false;
    if (m_fadingOutPlayer) {
        m_fadingOutPlayer->pause();
        m_fadingOutPlayer.reset();
    }
}

// A pause is silence at once, in the middle of a fade too: the outgoing
// track stops for good, and the incoming one, paused first so that no
// moment of it sounds louder, plays on alone at full volume when resumed.
void PlayerStore::pausePlayers()
{
    m_heldStart.pause();
    if (m_player)
        m_player->pause();
    leaveTheIncomingAlone();
}

void PlayerStore::leaveTheIncomingAlone()
{
    if (!m_isCrossfading && !m_fadingOutPlayer)
        return;
    endCrossfade();
    if (m_player)
        m_player->setVolume(1.0f);
}

void PlayerStore::setPlaying(bool playing)
{
    if (!playing) {
        dropKeptOutput();
        restOutputSoon();
    }
    assign(m_isPlaying, playing, &PlayerStore::isPlayingChanged);
}

// Ten times a second for the whole of playback: numbers only.
void PlayerStore::handleTick(double seconds)
{
    setElapsed(sanitizedSeconds(seconds));
    constexpr double soundedSeconds = 0.05;
    if (m_elapsed >= m_soundsFrom + soundedSeconds) {
        m_playerSounded = true;
        if (m_previousPlayer || m_readyOutput)
            dropKeptOutput();
    }
    if (m_duration <= 0 && m_player) {
        const double itemDuration = m_player->duration();
        if (std::isfinite(itemDuration))
            setDuration(sanitizedSeconds(itemDuration));
    }
    if (!m_isCrossfading && m_crossfadeEnabled && m_duration > 2 * m_crossfadeDuration
        && m_elapsed >= m_duration - m_crossfadeDuration)
        triggerCrossfade();
    syncNowPlayingElapsedOnly();
}

// Tried on every tick near the end; one that finds nothing to fade into
// leaves the track to play out, and the end of the item moves on.
void PlayerStore::triggerCrossfade()
{
    if (m_isCrossfading || !m_crossfadeEnabled || m_sleepTimer.isEndOfTrack())
        return;
    const auto next = m_queue.nextIndex(m_repeatMode);
    // Repeat one after shuffle was turned off may name no entry at all.
    if (!next || *next < 0 || *next >= m_queue.size())
        return;
    const TrackOut track = m_queue.tracks().at(*next);
    const auto url = ApiConfig::resolve(track.fileUrl);
    if (!url)
        return;
    m_queue.setIndex(*next);
    startPlayback(track, *url, true);
}

QCoro::Task<> PlayerStore::runCrossfade(
    double seconds, QPointer<AudioPlayerHandle> outgoing, QPointer<AudioPlayerHandle> incoming, CancelToken token)
{
    QPointer<PlayerStore> self(this);
    const bool finished = co_await CrossfadeRamp::run(m_clock, seconds, outgoing, incoming, token);
    // A cancelled ramp was replaced by a start that took the players over
    // and set the crossfade state itself.
    if (!self || !finished)
        co_return;
    if (outgoing)
        outgoing->pause();
    if (m_fadingOutPlayer && m_fadingOutPlayer.get() == outgoing.data())
        m_fadingOutPlayer.reset();
    m_isCrossfading = false;
    m_crossfadeTask.finish(token);
}

// Handled during a crossfade as well: the incoming item may be shorter than
// the fade, and waiting for the ramp would leave playback standing.
void PlayerStore::handleEndOfItem()
{
    if (m_sleepTimer.isEndOfTrack()) {
        // The finished track stays current; the queue does not move on.
        setSleepTimerValue(SleepTimer::off());
        pausePlayers();
        setPlaying(false);
        syncNowPlaying();
        return;
    }
    m_itemEnded = true;
    next();
}

// The listener sees playback stop on that track; nothing skips ahead. As at
// a pause, a fade into it ends: the track it was leaving would otherwise go
// on sounding while the player shows a pause. The failed player has
// stopped by itself.
void PlayerStore::handlePlayerFailure()
{
    leaveTheIncomingAlone();
    setPlaying(false);
    syncNowPlaying();
}

// Wave

void PlayerStore::loadSmartWave()
{
    if (m_isLoadingWave)
        return;
    setLoadingWave(true);
    fetchWave(authToken(), m_waveTask.renew(Session::lifetimeOf(m_session)));
}

QCoro::Task<> PlayerStore::fetchWave(std::optional<QString> authToken, CancelToken token)
{
    QPointer<PlayerStore> self(this);
    const WaveSource source = m_waveSource;
    QList<TrackOut> received;
    bool fetched = false;
    if (source) {
        // A failed wave ends playback like an empty one; nothing is shown.
        QCoro::Task<QList<TrackOut>> request = source(authToken, token);
        Outcome<QList<TrackOut>> outcome = co_await runAtBoundary(std::move(request));
        fetched = bool(outcome);
        if (outcome)
            received = std::move(*outcome);
    }
    // Dropped when the listener started something else meanwhile.
    if (!self || token.isCancelled())
        co_return;
    m_waveTask.finish(token);
    setLoadingWave(false);
    if (!fetched || received.isEmpty()) {
        pauseIfPlaying();
        co_return;
    }
    m_queue.appendWave(received);
    queueDidChange();
    playAtIndex(m_queue.index() + 1);
}

void PlayerStore::abandonWave()
{
    // Also a wave that the end of its session already cancelled.
    m_waveTask.cancel();
    setLoadingWave(false);
}

// Offline copies

void PlayerStore::countPlayAndSaveSilently(const TrackOut &track, const QUrl &url)
{
    const int count = ++m_sessionPlayCount[track.id];
    // A save the listener started has the right of way; a later start of
    // this track tries again.
    if (count >= silentSavePlayCount && !m_cache->localUrl(track.id) && !m_cachingTrackId)
        saveSilently(m_cache, track.id, url, authToken(), m_lifetime);
}

QCoro::Task<> PlayerStore::saveSilently(
    AudioCacheService *cache, QString trackId, QUrl url, std::optional<QString> authToken, CancelToken token)
{
    // Silent by design: the next start of the track tries again.
    QCoro::Task<QUrl> download = cache->downloadTrack(trackId, url, authToken, token);
    co_await runAtBoundary(std::move(download));
}

bool PlayerStore::currentTrackIsCached() const
{
    return m_currentTrack && m_cache->localUrl(m_currentTrack->id).has_value();
}

void PlayerStore::cacheCurrentTrack()
{
    if (!m_currentTrack)
        return;
    const auto url = ApiConfig::resolve(m_currentTrack->fileUrl);
    if (!url || m_cache->localUrl(m_currentTrack->id))
        return;
    setCachingTrackId(m_currentTrack->id);
    setCacheMessage(std::nullopt);
    saveForListener(m_currentTrack->id, *url, authToken(), m_lifetime);
}

QCoro::Task<> PlayerStore::saveForListener(
    QString trackId, QUrl url, std::optional<QString> authToken, CancelToken token)
{
    QPointer<PlayerStore> self(this);
    AudioCacheService *cache = m_cache;
    QCoro::Task<QUrl> download = cache->downloadTrack(trackId, url, authToken, token);
    const Outcome<QUrl> outcome = co_await runAtBoundary(std::move(download));
    const QString message = outcome ? u"Трек сохранён для офлайна"_s : outcome.errorText;
    if (!self || token.isCancelled())
        co_return;
    // A save of another track started since owns the message now; the file
    // this one saved stays.
    if (m_cachingTrackId != trackId)
        co_return;
    setCachingTrackId(std::nullopt);
    setCacheMessage(message);
}

void PlayerStore::removeCurrentTrackFromCache()
{
    if (!m_currentTrack)
        return;
    m_cache->removeCached(m_currentTrack->id);
    setCacheMessage(u"Файл удалён с устройства"_s);
}

} // namespace nimbra
