#pragma once

#include "platform/audiobackend.h"
#include "platform/medialibrary.h"
#include "platform/videobackend.h"

#include <QPointer>

#include <memory>
#include <optional>

namespace nimbra {

// A player asked for while the media library loads: it keeps the last of
// what it was told (volume, play or pause, seek), and once the library is
// there and it is to play, makes the real player, tells it that, and
// passes on its signals for the rest of its life. Paused or dropped before
// then, it makes none.
class PendingAudioPlayer : public AudioPlayerHandle
{
    Q_OBJECT
public:
    PendingAudioPlayer(const QUrl &source, const MediaLoader &loader,
        std::shared_ptr<std::unique_ptr<AudioBackend>> backend, QObject *parent = nullptr);
    ~PendingAudioPlayer() override;

    QUrl source() const override { return m_source; }
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    void setVolume(float volume) override;
    float volume() const override;
    void releaseOutput() override;
    double currentTime() const override;
    double duration() const override;

    // The real player, once the library is loaded.
    AudioPlayerHandle *real() const { return m_real.get(); }

private:
    void startWhenWanted();
    void becomeReal();

    QUrl m_source;
    std::shared_ptr<std::unique_ptr<AudioBackend>> m_backend;
    MediaEntry *m_media = nullptr;
    // Deleted with this player, never later: this one is already deleted
    // from the event loop.
    std::unique_ptr<AudioPlayerHandle> m_real;
    bool m_playing = false;
    float m_volume = 1.0f;
    std::optional<double> m_seek;
};

// The same for the clip player's video player.
class PendingVideoPlayer : public VideoPlayerHandle
{
    Q_OBJECT
public:
    PendingVideoPlayer(const MediaLoader &loader, std::shared_ptr<std::unique_ptr<VideoBackend>> backend,
        QObject *parent = nullptr);
    ~PendingVideoPlayer() override;

    void load(const QUrl &source) override;
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    double currentTime() const override;
    double duration() const override;
    void setVideoOutput(QObject *output) override;

    VideoPlayerHandle *real() const { return m_real.get(); }

private:
    void startWhenWanted();
    void becomeReal();

    std::shared_ptr<std::unique_ptr<VideoBackend>> m_backend;
    MediaEntry *m_media = nullptr;
    std::unique_ptr<VideoPlayerHandle> m_real;
    std::optional<QUrl> m_source;
    bool m_playing = false;
    std::optional<double> m_seek;
    QPointer<QObject> m_output;
};

} // namespace nimbra
