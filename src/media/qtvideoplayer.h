#pragma once

#include "platform/videobackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <memory>

namespace nimbra {

// Video through QtMultimedia on its GStreamer backend, with sound on the
// default output. Each item gets a QMediaPlayer of its own: GStreamer
// delivers an item's errors and status from its bus some time after the
// item was replaced, and only a player that is gone can be sure to say
// nothing more about the item before.
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
    // The media player of the item loaded now, with its sound output.
    struct Item
    {
        QAudioOutput audio;
        QMediaPlayer player;
        Item() { player.setAudioOutput(&audio); }
    };

    void handleStatus(QMediaPlayer::MediaStatus status);
    void handleState(QMediaPlayer::PlaybackState state);
    void handlePosition(qint64 milliseconds);
    void fail(const QString &message);
    // Drops the item's player, and with it the pipeline and its hold on the sink.
    void release();

    // Each item reports ready and failed at most once.
    bool m_readyReported = false;
    bool m_failed = false;
    QPointer<QObject> m_output;
    std::unique_ptr<Item> m_item;
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
