#pragma once

#include <QObject>
#include <QUrl>

#include <memory>

namespace nimbra {

// One audio player for one item. A player is made for each track that
// starts and is never reused for another item; during a crossfade two of
// them play at once. All calls and signals happen on the main thread.
class AudioPlayerHandle : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~AudioPlayerHandle() override = default;

    virtual QUrl source() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    // Seconds from the start of the item; a time past its end is passed on.
    virtual void seek(double seconds) = 0;
    // 0 (silent) to 1 (full).
    virtual void setVolume(float volume) = 0;
    virtual float volume() const = 0;

    // Lets go of the sound server's stream while paused, keeping the item
    // and its position: a stream left on the server keeps the sound device
    // busy. play() takes a stream again. A player without a stream of its
    // own has nothing to let go of.
    virtual void releaseOutput() { }

    // Position of the item in seconds.
    virtual double currentTime() const = 0;
    // The item's own length in seconds; not finite while it is unknown.
    virtual double duration() const = 0;

signals:
    // Every 0.1 s while the item plays, with the position in seconds.
    void timeTick(double seconds);
    // The item played to its end.
    void endOfItem();
    // The item could not be loaded or played.
    void failed(const QString &message);
};

// A player may be dropped from inside one of its own signals (the end of an
// item starts the next track), so it is deleted from the event loop.
struct AudioPlayerDeleter
{
    void operator()(AudioPlayerHandle *player) const
    {
        if (player)
            player->deleteLater();
    }
};
using AudioPlayerPtr = std::unique_ptr<AudioPlayerHandle, AudioPlayerDeleter>;

// Makes the players. The player store owns what it gets and talks to audio
// output only through this.
class AudioBackend
{
public:
    virtual ~AudioBackend() = default;

    // A player loaded with source: paused, at volume 1, position 0.
    virtual AudioPlayerPtr createPlayer(const QUrl &source) = 0;

    // Readies the output for a track that may start soon: what the first
    // player needs is loaded, and a silent stream stays paused on the sound
    // server for as long as the object lives. An idle sound server holds a
    // new stream back until its next turn, up to two seconds; with a stream
    // of the program already there it takes the new one at once. Null where
    // there is nothing to ready.
    virtual std::unique_ptr<QObject> readyOutput() { return nullptr; }
};

} // namespace nimbra
