#pragma once

#include "platform/videobackend.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QVideoSink>

#include <chrono>
#include <memory>

namespace nimbra {

// Video through QtMultimedia on its GStreamer backend, with sound on the
// default output. Each item gets a QMediaPlayer of its own: GStreamer
// delivers an item's errors and status from its bus some time after the
// item was replaced, and only a player that is gone can be sure to say
// nothing more about the item before.
//
// Each item gets a video sink of its own too, which hands its frames on to
// the output. Qt 6.4 moves one sink's GStreamer elements from pipeline to
// pipeline without stopping them in between, and an item that followed a
// failed one then now and then stopped with "Internal data stream error"
// before its first frame: the playable clip after a missing one was skipped.
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
    // A sink of an item, on the thread of the output it hands frames to;
    // it goes on that thread, as frames may still be on their way there.
    struct Relay
    {
        QVideoSink *sink = nullptr;
        Relay() = default;
        Relay(const Relay &) = delete;
        Relay &operator=(const Relay &) = delete;
        ~Relay() { reset(); }
        void reset();
    };

    // The media player of the item loaded now, with its sound output and
    // its sink. The sink is declared first so that it goes last, once the
    // player's pipeline has let go of it.
    struct Item
    {
        Relay relay;
        QAudioOutput audio;
        QMediaPlayer player;
        Item() { player.setAudioOutput(&audio); }
    };

    void handleStatus(QMediaPlayer::MediaStatus status);
    void handleState(QMediaPlayer::PlaybackState state);
    void handlePosition(qint64 milliseconds);
    void fail(const QString &message);
    // Points the item at the output: through a sink of its own when the
    // output is a sink, else directly.
    void attachOutput();
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
