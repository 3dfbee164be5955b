#pragma once

#include "platform/audiobackend.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace nimbra {

// One QMediaPlayer with its own audio output, for one item.
class QtAudioPlayer : public AudioPlayerHandle
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds tickInterval {100};
    // How long the position may stand still while the item should play.
    static constexpr qint64 stallLimitMs = 2000;
    // An end this far before the item's own length is a cut stream.
    static constexpr qint64 earlyEndMs = 1500;
    static constexpr int resumesBeforeFailing = 2;

    explicit QtAudioPlayer(const QUrl &source, QObject *parent = nullptr);
    ~QtAudioPlayer() override;

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
    void playExactCopy(QByteArray data);
    void watch();
    void resumeAt(qint64 positionMs);
    void fail(const QString &text);
    void handleStatus(QMediaPlayer::MediaStatus status);
    void handleState(QMediaPlayer::PlaybackState state);
    void handleError(QMediaPlayer::Error error, const QString &text);
    bool canSeekNow() const;
    void applyPendingSeek();
    void settleSeek(qint64 position);

    QUrl m_source;
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
    qint64 m_reachedMs = 0;
    qint64 m_lastSeenMs = -1;
    qint64 m_resumedFromMs = -1;
    int m_resumesWithoutProgress = 0;
    QElapsedTimer m_sinceMoved;
    QTimer m_watchdog;
    // The player seeks a compressed stream by bytes it guesses from the bit
    // rate it has seen (a FLAC without a seek table, say): it lands off the
    // mark and its request stops short of the file's end. The first seek in
    // such a stream fetches the whole file and plays on from memory, where
    // the media finds every position itself.
    QPointer<QNetworkReply> m_copyReply;
    QByteArray m_copyData;
    QBuffer m_copy;
    bool m_onCopy = false;
    bool m_copyFailed = false;
    // A copy slow to come: the stream takes the seek meanwhile.
    QTimer m_copyWait;
    // Declared before the player, which holds pointers to them.
    QAudioOutput m_output;
    QMediaPlayer m_player;
    QTimer m_tick;
};

} // namespace nimbra
