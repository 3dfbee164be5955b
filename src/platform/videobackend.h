#pragma once

#include <QObject>
#include <QUrl>

#include <memory>

namespace nimbra {

// The one video player of the clip player: made at the first clip, then
// loaded with one item after another until it is dropped. All calls and
// signals happen on the main thread; every signal belongs to the item
// loaded last.
class VideoPlayerHandle : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~VideoPlayerHandle() override = default;

    // Replaces the current item (an empty address unloads it); paused at 0.
    virtual void load(const QUrl &source) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    // Seconds from the start of the item, exact.
    virtual void seek(double seconds) = 0;
    // Position of the item in seconds.
    virtual double currentTime() const = 0;
    // The item's own length in seconds; not finite while it is unknown.
    virtual double duration() const = 0;
    // Where the pictures go: a QVideoSink, or a QML VideoOutput; null for none.
    virtual void setVideoOutput(QObject *output) = 0;

signals:
    // Every 0.4 s while the item plays, with the position in seconds.
    void timeTick(double seconds);
    // The item can play.
    void ready();
    // The item played to its end.
    void endOfItem();
    // The item could not be loaded or played.
    void failed(const QString &message);
};

// A player may be dropped from inside one of its own signals, so it is
// deleted from the event loop.
struct VideoPlayerDeleter
{
    void operator()(VideoPlayerHandle *player) const
    {
        if (player)
            player->deleteLater();
    }
};
using VideoPlayerPtr = std::unique_ptr<VideoPlayerHandle, VideoPlayerDeleter>;

// Makes the video player. The clip player store owns what it gets and
// reaches video output only through this.
class VideoBackend
{
public:
    virtual ~VideoBackend() = default;

    // A player with no item.
    virtual VideoPlayerPtr createPlayer() = 0;
};

} // namespace nimbra
