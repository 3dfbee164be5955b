#pragma once

#include "platform/audiobackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QTimer>

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

    QUrl m_source;
    float m_volume = 1.0f;
    bool m_failed = false;
    // Declared before the player, which holds a pointer to it.
    QAudioOutput m_output;
    QMediaPlayer m_player;
    QTimer m_tick;
};

} // namespace nimbra
