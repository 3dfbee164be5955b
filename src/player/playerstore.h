#pragma once

#include "api/canceltoken.h"
#include "api/trackout.h"
#include "platform/audiobackend.h"
#include "player/heldstart.h"
#include "player/playqueue.h"
#include "player/repeatmode.h"
#include "player/sleeptimer.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

namespace nimbra {

class AudioCacheService;
class LyricsService;
class NowPlayingController;
class Clock;
class Session;

// The one audio player state of the process: the current track and its
// position, the queue with shuffle and repeat, the crossfade between tracks,
// the wave that continues an exhausted queue, the offline copies, the sleep
// timer and the lyrics of the current track. Main thread only; the engine
// half (playback, crossfade, end of item, wave, offline saves) lives in
// playerstoreplayback.cpp.
class PlayerStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool hasCurrentTrack READ hasCurrentTrack NOTIFY currentTrackChanged)
    // The current track's fields; empty, zero or false without one.
    Q_PROPERTY(QString currentTitle READ currentTitle NOTIFY currentTrackChanged)
    Q_PROPERTY(QString currentArtist READ currentArtist NOTIFY currentTrackChanged)
    Q_PROPERTY(QString currentCoverUrl READ currentCoverUrl NOTIFY currentTrackChanged)
    Q_PROPERTY(bool currentIsFavorite READ currentIsFavorite NOTIFY currentTrackChanged)
    Q_PROPERTY(bool currentIsDisliked READ currentIsDisliked NOTIFY currentTrackChanged)
    Q_PROPERTY(bool currentIsHiFi READ currentIsHiFi NOTIFY currentTrackChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY elapsedChanged)
    Q_PROPERTY(double duration READ duration NOTIFY durationChanged)
    Q_PROPERTY(QString durationLabel READ durationLabel NOTIFY durationLabelChanged)
    Q_PROPERTY(bool fullscreenWantsLyrics READ fullscreenWantsLyrics WRITE setFullscreenWantsLyrics NOTIFY
            fullscreenWantsLyricsChanged)
    Q_PROPERTY(QString currentLyrics READ currentLyricsText WRITE setCurrentLyricsText NOTIFY currentLyricsChanged)
    Q_PROPERTY(bool lyricsLoading READ lyricsLoading NOTIFY lyricsLoadingChanged)
    Q_PROPERTY(bool crossfadeEnabled READ crossfadeEnabled WRITE setCrossfadeEnabled NOTIFY crossfadeEnabledChanged)
    Q_PROPERTY(
        double crossfadeDuration READ crossfadeDuration WRITE setCrossfadeDuration NOTIFY crossfadeDurationChanged)
    Q_PROPERTY(bool isLoadingWave READ isLoadingWave NOTIFY isLoadingWaveChanged)
    Q_PROPERTY(QString cachingTrackId READ cachingTrackIdText NOTIFY cachingTrackIdChanged)
    Q_PROPERTY(bool currentTrackIsCached READ currentTrackIsCached NOTIFY currentTrackIsCachedChanged)
    Q_PROPERTY(QString cacheMessage READ cacheMessageText WRITE setCacheMessageText NOTIFY cacheMessageChanged)
    Q_PROPERTY(bool shuffleEnabled READ shuffleEnabled NOTIFY shuffleEnabledChanged)
    Q_PROPERTY(nimbra::RepeatModes::Mode repeatMode READ repeatMode WRITE setRepeatMode NOTIFY repeatModeChanged)
    Q_PROPERTY(int queueIndex READ queueIndexValue NOTIFY queueIndexChanged)
    Q_PROPERTY(nimbra::SleepTimer sleepTimer READ sleepTimer NOTIFY sleepTimerChanged)
    Q_PROPERTY(qint64 sleepRemainingSeconds READ sleepRemainingSeconds NOTIFY sleepRemainingSecondsChanged)
    Q_PROPERTY(bool isFullscreenPresented READ isFullscreenPresented WRITE setFullscreenPresented NOTIFY
            isFullscreenPresentedChanged)

public:
    static constexpr const char *crossfadeEnabledKey = "crossfadeEnabled";
    static constexpr const char *crossfadeDurationKey = "crossfadeDuration";
    static constexpr double defaultCrossfadeDuration = 3.0;
    // Longer fades make no sense for a song and would overflow the ramp's
    // step count long before the value stops being finite.
    static constexpr double maxCrossfadeDuration = 60.0;
    // previous() restarts the track when more than this has played.
    static constexpr double restartThreshold = 3.0;
    // From this start of a track since launch on, it is saved for offline
    // use without being asked.
    static constexpr int silentSavePlayCount = 5;
    // A paused player keeps its stream on the sound server, which keeps the
    // sound device awake (a new stream on a resting one waits for it), but
    // busy: after this long paused the player lets go of it.
    static constexpr std::chrono::seconds outputRestDelay {10};

    // Fetches a fresh wave of tracks with the given bearer token; throws
    // when the fetch fails. cancel stops its requests (the session ended,
    // the listener chose something else).
    using WaveSource = std::function<QCoro::Task<QList<TrackOut>>(std::optional<QString> token, CancelToken cancel)>;

    // backend and session must outlive the store; clock, lyrics and cache
    // default to the real clock and the shared lyrics and offline cache
    // services. The wave and the offline saves carry the session's token.
    PlayerStore(AudioBackend *backend, Session *session, Clock *clock = nullptr, LyricsService *lyrics = nullptr,
        AudioCacheService *cache = nullptr, QObject *parent = nullptr);
    ~PlayerStore() override;

    // Where the wave comes from when the queue runs out with repeat off.
    // Without a source, running out behaves as a wave that found nothing.
    void setWaveSource(WaveSource source) { m_waveSource = std::move(source); }

    std::optional<TrackOut> currentTrack() const { return m_currentTrack; }
    bool hasCurrentTrack() const { return m_currentTrack.has_value(); }
    QString currentTitle() const { return m_currentTrack ? m_currentTrack->title : QString(); }
    QString currentArtist() const { return m_currentTrack ? m_currentTrack->artist : QString(); }
    QString currentCoverUrl() const;
    bool currentIsFavorite() const { return m_currentTrack && m_currentTrack->isFavorite; }
    bool currentIsDisliked() const;
    bool currentIsHiFi() const { return m_currentTrack && m_currentTrack->isHiFi(); }
    bool isPlaying() const { return m_isPlaying; }
    double elapsed() const { return m_elapsed; }
    double duration() const { return m_duration; }
    QString durationLabel() const;
    bool fullscreenWantsLyrics() const { return m_fullscreenWantsLyrics; }
    void setFullscreenWantsLyrics(bool wants)
    {
        assign(m_fullscreenWantsLyrics, wants, &PlayerStore::fullscreenWantsLyricsChanged);
    }
    std::optional<QString> currentLyrics() const { return m_currentLyrics; }
    void setCurrentLyrics(std::optional<QString> lyrics)
    {
        assign(m_currentLyrics, lyrics, &PlayerStore::currentLyricsChanged);
    }
    bool lyricsLoading() const { return m_lyricsLoading; }
    bool crossfadeEnabled() const { return m_crossfadeEnabled; }
    void setCrossfadeEnabled(bool enabled);
    double crossfadeDuration() const { return m_crossfadeDuration; }
    void setCrossfadeDuration(double seconds);
    bool isLoadingWave() const { return m_isLoadingWave; }
    std::optional<QString> cachingTrackId() const { return m_cachingTrackId; }
    // Asks the file system on every read.
    bool currentTrackIsCached() const;
    std::optional<QString> cacheMessage() const { return m_cacheMessage; }
    void setCacheMessage(std::optional<QString> message)
    {
        assign(m_cacheMessage, message, &PlayerStore::cacheMessageChanged);
    }
    // The session's token, read afresh for every request.
    std::optional<QString> authToken() const;
    bool shuffleEnabled() const { return m_queue.isShuffled(); }
    RepeatMode repeatMode() const { return m_repeatMode; }
    void setRepeatMode(RepeatMode mode) { assign(m_repeatMode, mode, &PlayerStore::repeatModeChanged); }
    QList<TrackOut> queue() const { return m_queue.tracks(); }
    qsizetype queueIndex() const { return m_queue.index(); }
    int queueIndexValue() const { return int(m_queue.index()); }
    SleepTimer sleepTimer() const { return m_sleepTimer; }
    qint64 sleepRemainingSeconds() const { return m_sleepRemainingSeconds; }
    bool isFullscreenPresented() const { return m_isFullscreenPresented; }
    void setFullscreenPresented(bool presented)
    {
        assign(m_isFullscreenPresented, presented, &PlayerStore::isFullscreenPresentedChanged);
    }

    // Plays track within list (which may be empty: then the queue is kept,
    // or becomes track alone).
    void play(TrackOut track, QList<TrackOut> list);
    // Takes a changed record of the current track; any other track is ignored.
    void updateCurrentTrack(TrackOut track);
    // The session is over: nothing plays, and nothing of the listener is
    // left (queue, current track, sleep timer, wave, lyrics, the desktop's
    // now-playing panel). Offline copies stay on disk.
    void endSession();

    // A press may follow: unless something plays, the output is readied
    // meanwhile (the media stack loads, and a silent stream wakes an idle
    // sound server), for as long as a paused player keeps its stream.
    void prepareToPlay();
    // The pointer is on a control that plays. Only a pointer moved since it
    // was last on one counts: a page that changes under a resting pointer
    // is no sign of a press to come.
    Q_INVOKABLE void pointerOnPlayControl();
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    Q_INVOKABLE void toggleShuffle();
    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void pauseIfPlaying();
    Q_INVOKABLE void seek(double seconds);
    Q_INVOKABLE void showFullscreenLyrics();
    Q_INVOKABLE void dismissFullscreen();
    Q_INVOKABLE void setSleepTimer(int minutes);
    Q_INVOKABLE void setSleepTimerEndOfTrack();
    Q_INVOKABLE void cancelSleepTimer();
    // Saves the current track for offline use; the outcome shows in
    // cacheMessage.
    Q_INVOKABLE void cacheCurrentTrack();
    Q_INVOKABLE void removeCurrentTrackFromCache();

    // The desktop's view of the player (and the source of its commands).
    NowPlayingController *nowPlaying() const { return m_nowPlaying.get(); }

signals:
    void currentTrackChanged();
    void isPlayingChanged();
    void elapsedChanged();
    void durationChanged();
    void durationLabelChanged();
    void fullscreenWantsLyricsChanged();
    void currentLyricsChanged();
    void lyricsLoadingChanged();
    void crossfadeEnabledChanged();
    void crossfadeDurationChanged();
    void isLoadingWaveChanged();
    void cachingTrackIdChanged();
    void currentTrackIsCachedChanged();
    void cacheMessageChanged();
    void shuffleEnabledChanged();
    void repeatModeChanged();
    void queueChanged();
    void queueIndexChanged();
    void sleepTimerChanged();
    void sleepRemainingSecondsChanged();
    void isFullscreenPresentedChanged();

private:
    // QML reads absent texts as null strings and writes them the same way.
    static std::optional<QString> optionalText(const QString &text)
    {
        return text.isNull() ? std::nullopt : std::optional<QString>(text);
    }
    QString currentLyricsText() const { return m_currentLyrics.value_or(QString()); }
    void setCurrentLyricsText(const QString &text) { setCurrentLyrics(optionalText(text)); }
    QString cachingTrackIdText() const { return m_cachingTrackId.value_or(QString()); }
    QString cacheMessageText() const { return m_cacheMessage.value_or(QString()); }
    void setCacheMessageText(const QString &text) { setCacheMessage(optionalText(text)); }

    // Tells listeners that the list itself changed.
    void queueDidChange();
    // Starts the first entry from index on whose address resolves.
    void playAtIndex(qsizetype index);
    // The one place a track starts: it is shown and its lyrics asked for at
    // once, and it gets a player (startPlayer) unless the press is one of a
    // quick series. With crossfade the current player fades out while the
    // new one fades in.
    void startPlayback(const TrackOut &track, const QUrl &url, bool crossfade);
    // A new player for url (the offline copy when there is one), the play
    // counted.
    void startPlayer(const TrackOut &track, const QUrl &url, bool crossfade);
    // The current track's start, held back during a quick series of presses.
    void startHeldPlayer(const QUrl &url);
    // A start is held, or the current player is to play and has not
    // sounded yet: a press now is one of a quick series.
    bool isStarting() const;
    // Unhooks the current player: only the newest item reports.
    void detachPlayer();
    // Ends any crossfade and pauses and drops every player.
    void teardownPlayers();
    // Stops the ramp where it stands and drops the outgoing player.
    void endCrossfade();
    // Pauses the current player and ends a fade under way.
    void pausePlayers();
    // Ends a fade under way: the outgoing track stops for good, and the
    // incoming one, stopped by the caller, plays on alone at full volume
    // when played again.
    void leaveTheIncomingAlone();
    // The length a seek may go to; 0 while not known.
    double seekableLength() const;
    // Before a new player starts: the current one (or the one it has not yet
    // taken over from) stays, paused, until the new one sounds.
    void keepOutputUntilSounding();
    // The new player sounds (or will not): what kept the output awake goes.
    void dropKeptOutput();
    // Unless a stream of the program keeps the sound server awake, a silent
    // one does until the player that starts now sounds.
    void keepOutputAwake();
    // Playback stopped: the current player lets go of its stream after a
    // while.
    void restOutputSoon();
    QCoro::Task<> restOutputLater(CancelToken token);
    void handleTick(double seconds);
    void triggerCrossfade();
    void handleEndOfItem();
    void handlePlayerFailure();
    QCoro::Task<> runCrossfade(
        double seconds, QPointer<AudioPlayerHandle> outgoing, QPointer<AudioPlayerHandle> incoming, CancelToken token);
    // Playback ran past the end of the queue with repeat off.
    void loadSmartWave();
    QCoro::Task<> fetchWave(std::optional<QString> authToken, CancelToken token);
    // A wave still loading when another track starts is not wanted any more.
    void abandonWave();
    void countPlayAndSaveSilently(const TrackOut &track, const QUrl &url);
    static QCoro::Task<> saveSilently(
        AudioCacheService *cache, QString trackId, QUrl url, std::optional<QString> authToken, CancelToken token);
    QCoro::Task<> saveForListener(QString trackId, QUrl url, std::optional<QString> authToken, CancelToken token);

    // Now-playing panel and media keys.
    void installNowPlayingCommands();
    void resume();
    void syncNowPlaying();
    void syncNowPlayingElapsedOnly();

    void ensureLyrics(const TrackOut &track);
    QCoro::Task<> lookUpLyrics(TrackOut track, CancelToken token);
    QCoro::Task<> runSleepCountdown(QDateTime endAt, CancelToken token);

    void setPlaying(bool playing);
    void setElapsed(double seconds) { assign(m_elapsed, seconds, &PlayerStore::elapsedChanged); }
    void setDuration(double seconds);
    void setLoadingWave(bool loading) { assign(m_isLoadingWave, loading, &PlayerStore::isLoadingWaveChanged); }
    void setCachingTrackId(std::optional<QString> id)
    {
        assign(m_cachingTrackId, id, &PlayerStore::cachingTrackIdChanged);
    }
    void setLyricsLoading(bool loading) { assign(m_lyricsLoading, loading, &PlayerStore::lyricsLoadingChanged); }
    void setSleepTimerValue(const SleepTimer &timer) { assign(m_sleepTimer, timer, &PlayerStore::sleepTimerChanged); }
    void setSleepRemainingSeconds(qint64 seconds)
    {
        assign(m_sleepRemainingSeconds, seconds, &PlayerStore::sleepRemainingSecondsChanged);
    }
    template<typename T> void assign(T &member, const T &value, void (PlayerStore::*changed)())
    {
        if (member == value)
            return;
        member = value;
        emit(this->*changed)();
    }

    AudioBackend *m_backend;
    QPointer<Session> m_session;
    Clock *m_clock;
    LyricsService *m_lyrics;
    AudioCacheService *m_cache;
    WaveSource m_waveSource;

    std::optional<TrackOut> m_currentTrack;
    bool m_isPlaying = false;
    double m_elapsed = 0;
    double m_duration = 0;
    bool m_fullscreenWantsLyrics = false;
    std::optional<QString> m_currentLyrics;
    bool m_lyricsLoading = false;
    std::optional<QString> m_lyricsTrackId;
    // The lyrics shown are the track's own, not a lookup's answer.
    bool m_ownLyrics = false;
    bool m_crossfadeEnabled = false;
    double m_crossfadeDuration = defaultCrossfadeDuration;
    bool m_isLoadingWave = false;
    std::optional<QString> m_cachingTrackId;
    std::optional<QString> m_cacheMessage;
    RepeatMode m_repeatMode = RepeatMode::Off;
    PlayQueue m_queue;
    SleepTimer m_sleepTimer;
    qint64 m_sleepRemainingSeconds = 0;
    bool m_isFullscreenPresented = false;

    QHash<QString, int> m_sessionPlayCount;

    AudioPlayerPtr m_player;
    // Its position has moved: it was heard.
    bool m_playerSounded = false;
    // A press in a quick series makes no player: the track landed on gets
    // one once the presses settle.
    HeldStart m_heldStart;
    // The previous track's player while a crossfade runs.
    AudioPlayerPtr m_fadingOutPlayer;
    bool m_isCrossfading = false;
    // The previous track's player, paused: its stream keeps the sound
    // device awake until the current player's position has moved past
    // m_soundsFrom, so the new stream starts at once.
    AudioPlayerPtr m_previousPlayer;
    // An output readied before a press, kept in the same way.
    std::unique_ptr<QObject> m_readyOutput;
    quint64 m_pointerMovesSeen = 0;
    double m_soundsFrom = 0;
    // The current item played to its end: pausing it would rewind it.
    bool m_itemEnded = false;
    // The current player let go of its stream while paused.
    bool m_outputReleased = false;
    TaskSlot m_outputRestTask;
    TaskSlot m_crossfadeTask;
    TaskSlot m_waveTask;
    TaskSlot m_sleepTask;
    // Cancelled when the store goes: ends lookups still in flight.
    CancelToken m_lifetime;
    // Declared last so it goes first, before anything its commands reach.
    std::unique_ptr<NowPlayingController> m_nowPlaying;
};

} // namespace nimbra
