#pragma once

#include <QMediaPlayer>
#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>

namespace nimbra {

// What a QtAudioPlayer plays its item with: QMediaPlayer and its audio
// output in the program (QtAudioMedia), a stand-in where a test steps the
// player's own rules (the stall watch, seeks, the exact copy) by hand. Calls
// and signals are QMediaPlayer's.
class AudioMedia : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~AudioMedia() override = default;

    virtual void setSource(const QUrl &source) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void setPosition(qint64 positionMs) = 0;
    virtual void setVolume(float volume) = 0;
    // The sound server's stream goes with the output; the item stays loaded
    // and keeps its position. A stand-in has no stream to let go of.
    virtual void releaseOutput() { }
    virtual void takeOutput() { }
    // A silent stream on the sound server for as long as the object lives;
    // null where there is none.
    virtual std::unique_ptr<QObject> keepOutputAwake() { return nullptr; }

    virtual qint64 position() const = 0;
    virtual qint64 duration() const = 0;
    virtual QMediaPlayer::MediaStatus mediaStatus() const = 0;
    virtual bool isSeekable() const = 0;
    virtual QString errorString() const = 0;
    // How many buffers its audio sink has played; none where the media has
    // no hold of its sink.
    virtual std::optional<quint64> renderedBuffers() const { return std::nullopt; }

signals:
    void mediaStatusChanged(QMediaPlayer::MediaStatus status);
    void playbackStateChanged(QMediaPlayer::PlaybackState state);
    void errorOccurred(QMediaPlayer::Error error, const QString &text);
    void seekableChanged(bool seekable);
    void positionChanged(qint64 positionMs);
};

} // namespace nimbra
