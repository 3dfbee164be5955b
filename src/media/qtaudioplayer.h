#pragma once

#include "api/canceltoken.h"
#include "media/audiomedia.h"
#include "media/silencewatch.h"
#include "platform/audiobackend.h"

#include <QCoroTask>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace nimbra {

class Clock;
class ExactCopy;

// One QMediaPlayer with its own audio output, for one item.
class QtAudioPlayer : public AudioPlayerHandle
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds tickInterval {100};
    // How long the position may stand still while the item should play.
    static constexpr std::chrono::milliseconds stallLimit {2000};
    // An end this far before the item's own length is a cut stream.
    static constexpr qint64 earlyEndMs = 1500;
    static constexpr int resumesBeforeFailing = 2;
    // How long a seek waits for the exact copy before the stream takes it.
    static constexpr std::chrono::milliseconds copyPatience {1000};

    explicit QtAudioPlayer(const QUrl &source, QObject *parent = nullptr);
    // The stall watch and the wait for the copy count on clock.
    QtAudioPlayer(const QUrl &source, std::unique_ptr<AudioMedia> media, Clock *clock, QObject *parent = nullptr);
    ~QtAudioPlayer() override;

    // The most an exact copy of an item of this length may take (a length
    // not known yet counts as an hour).
    static qint64 copyLimit(qint64 durationMs);
    // Where the exact copy learns the free room of the temporary folder (a
    // test's own figure instead of the disk's).
    void setCopyRoom(std::function<qint64(const QString &folder)> room) { m_copyRoom = std::move(room); }

    QUrl source() const override { return m_source; }
    // After a failure, play() loads the item afresh and tries again.
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    void setVolume(float volume) override;
    float volume() const override { return m_volume; }
    void releaseOutput() override;
    double currentTime() const override;
    double duration() const override;

private:
    void load();
    bool seeksByGuess() const;
    void fetchExactCopy();
    void playExactCopy(const QUrl &file);
    QCoro::Task<> waitForCopy(CancelToken token);
    QCoro::Task<> watchWhilePlaying(CancelToken token);
    void watch();
    bool isSilent(qint64 positionMs);
    qint64 reachedMs() const;
    bool isAtItsEnd(qint64 positionMs) const;
    void finish();
    void resumeAt(qint64 positionMs);
    void fail(const QString &text);
    void handleStatus(QMediaPlayer::MediaStatus status);
    void handleState(QMediaPlayer::PlaybackState state);
    void handleError(QMediaPlayer::Error error, const QString &text);
    bool canSeekNow() const;
    void applyPendingSeek();
    void settleSeek(qint64 position);

    QUrl m_source;
    std::unique_ptr<AudioMedia> m_media;
    Clock *m_clock;
    float m_volume = 1.0f;
    bool m_failed = false;
    // QMediaPlayer drops a position set before the media can seek, and
    // reports its old position for a moment after one it took: the wanted
    // position is kept, handed over once the media can seek, and reported
    // until the player has got there.
    std::optional<qint64> m_seekTargetMs;
    bool m_seekSent = false;
    bool m_loading = false;
    bool m_settingPosition = false;
    int m_positionsSinceSeek = 0;
    // While the item should play, the position the player reports must
    // move on: one that stands still, or an end well before the item's
    // length, is resumed from the last position reached (a seek there,
    // then the item loaded afresh), and an item that resumes without
    // getting anywhere has failed.
    bool m_wantsToPlay = false;
    // Ended by the media or by standing in its last moments.
    bool m_finished = false;
    qint64 m_reachedMs = 0;
    qint64 m_lastSeenMs = -1;
    qint64 m_resumedFromMs = -1;
    int m_resumesWithoutProgress = 0;
    std::chrono::milliseconds m_standing {0};
    // A position that runs while the sink throws the sound away is a stall
    // too, resumed from where the sound was lost; progress is then what the
    // listener heard, not where the position got to.
    SilenceWatch m_silence;
    TaskSlot m_watch;
    // The player seeks a compressed stream by bytes it guesses from the bit
    // rate it has seen (a FLAC without a seek table, say): it lands off the
    // mark and its request stops short of the file's end. The first seek in
    // such a stream fetches the whole file and plays on from there, where
    // the media finds every position itself. One copy a player, if it fails.
    std::unique_ptr<ExactCopy> m_copy;
    std::function<qint64(const QString &folder)> m_copyRoom;
    QUrl m_copyFile;
    bool m_copyFailed = false;
    // A copy slow to come: the stream takes the seek meanwhile.
    TaskSlot m_copyWait;
    // Loaded onto the copy, the media makes its stream afresh, which an idle
    // sound server would hold back: a silent one keeps it awake until the
    // media sounds from m_awakeFromMs on.
    std::unique_ptr<QObject> m_awake;
    qint64 m_awakeFromMs = 0;
    QTimer m_tick;
};

} // namespace nimbra
