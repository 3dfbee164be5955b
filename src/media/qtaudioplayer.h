#pragma once

#include "platform/audiobackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QTimer>

#include <optional>

namespace nimbra {

// One QMediaPlayer with its own audio output, for one item.
class QtAudioPlayer : public AudioPlayerHandle
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds tickInterval {100};

    explicit QtAudioPlayer(const QUrl &source, QObject *parent = nullptr);
    ~QtAudioPlayer() override;

    QUrl source() const override { return m_source; }
    // After a failure, play() loads the item afresh and tries again.
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    void setVolume(float volume) override;
    float volume() const override { return m_volume; }
    double currentTime() const override;
    double duration() const override;

private:
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
    bool m_settingPosition = false;
    int m_positionsSinceSeek = 0;
    // Declared before the player, which holds a pointer to it.
    QAudioOutput m_output;
    QMediaPlayer m_player;
    QTimer m_tick;
};

} // namespace nimbra
