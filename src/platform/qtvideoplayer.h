#pragma once

#include "platform/videobackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>

#include <chrono>

namespace nimbra {

// Video through QtMultimedia on its GStreamer backend: one QMediaPlayer,
// reused for every item, with sound on the default output.
class QtVideoPlayer : public VideoPlayerHandle
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds tickInterval {400};

    explicit QtVideoPlayer(QObject *parent = nullptr);
    ~QtVideoPlayer() override;

    void load(const QUrl &source) override;
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    double currentTime() const override;
    double duration() const override;
    void setVideoOutput(QObject *output) override;

private:
    void handleStatus(QMediaPlayer::MediaStatus status);
    void handleState(QMediaPlayer::PlaybackState state);
    void fail(const QString &message);

    // Each item reports ready and failed at most once.
    bool m_readyReported = false;
    bool m_failed = false;
    QPointer<QObject> m_output;
    // Declared before the player, which holds a pointer to it.
    QAudioOutput m_audio;
    QMediaPlayer m_player;
    QTimer m_tick;
};

// Makes QtVideoPlayer; chooses the GStreamer backend as the audio layer does.
class QtVideoBackend : public VideoBackend
{
public:
    QtVideoBackend();
    VideoPlayerPtr createPlayer() override;
};

} // namespace nimbra
