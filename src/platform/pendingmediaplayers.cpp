#include "platform/pendingmediaplayers.h"

#include <QMetaObject>

#include <cmath>

namespace nimbra {

PendingAudioPlayer::PendingAudioPlayer(const QUrl &source, const MediaLoader &loader,
    std::shared_ptr<std::unique_ptr<AudioBackend>> backend, QObject *parent)
    : AudioPlayerHandle(parent), m_source(source), m_backend(std::move(backend))
{
    loader(this, [this](MediaEntry &media) {
        m_media = &media;
        // A player dropped just before is deleted from the event loop: one
        // more turn lets that come first.
        QMetaObject::invokeMethod(this, &PendingAudioPlayer::startWhenWanted, Qt::QueuedConnection);
    });
}

// Only a player that is to play is made: a player paused (or dropped, which
// pauses it) while the stack loaded loads nothing.
void PendingAudioPlayer::startWhenWanted()
{
    if (m_playing && !m_real && m_media)
        becomeReal();
}

PendingAudioPlayer::~PendingAudioPlayer()
{
    if (m_real)
        disconnect(m_real.get(), nullptr, this, nullptr);
}

void PendingAudioPlayer::becomeReal()
{
    if (!*m_backend)
        *m_backend = m_media->createAudioBackend();
    m_real.reset((*m_backend)->createPlayer(m_source).release());
    AudioPlayerHandle *real = m_real.get();
    connect(real, &AudioPlayerHandle::timeTick, this, &AudioPlayerHandle::timeTick);
    connect(real, &AudioPlayerHandle::endOfItem, this, &AudioPlayerHandle::endOfItem);
    connect(real, &AudioPlayerHandle::failed, this, &AudioPlayerHandle::failed);
    real->setVolume(m_volume);
    if (m_seek)
        real->seek(*m_seek);
    if (m_playing)
        real->play();
}

void PendingAudioPlayer::play()
{
    m_playing = true;
    if (m_real)
        m_real->play();
    else
        startWhenWanted();
}

void PendingAudioPlayer::pause()
{
    m_playing = false;
    if (m_real)
        m_real->pause();
}

void PendingAudioPlayer::seek(double seconds)
{
    if (m_real) {
        m_real->seek(seconds);
        return;
    }
    if (std::isfinite(seconds))
        m_seek = std::max(seconds, 0.0);
}

void PendingAudioPlayer::setVolume(float volume)
{
    m_volume = volume;
    if (m_real)
        m_real->setVolume(volume);
}

float PendingAudioPlayer::volume() const
{
    return m_real ? m_real->volume() : m_volume;
}

void PendingAudioPlayer::releaseOutput()
{
    if (m_real)
        m_real->releaseOutput();
}

double PendingAudioPlayer::currentTime() const
{
    return m_real ? m_real->currentTime() : m_seek.value_or(0.0);
}

double PendingAudioPlayer::duration() const
{
    return m_real ? m_real->duration() : qQNaN();
}

PendingVideoPlayer::PendingVideoPlayer(
    const MediaLoader &loader, std::shared_ptr<std::unique_ptr<VideoBackend>> backend, QObject *parent)
    : VideoPlayerHandle(parent), m_backend(std::move(backend))
{
    loader(this, [this](MediaEntry &media) {
        m_media = &media;
        // A player dropped just before is deleted from the event loop: one
        // more turn lets that come first.
        QMetaObject::invokeMethod(this, &PendingVideoPlayer::startWhenWanted, Qt::QueuedConnection);
    });
}

// Only a player that is to play is made: a player paused (or dropped, which
// pauses it) while the stack loaded loads nothing.
void PendingVideoPlayer::startWhenWanted()
{
    if (m_playing && !m_real && m_media)
        becomeReal();
}

PendingVideoPlayer::~PendingVideoPlayer()
{
    if (m_real)
        disconnect(m_real.get(), nullptr, this, nullptr);
}

void PendingVideoPlayer::becomeReal()
{
    if (!*m_backend)
        *m_backend = m_media->createVideoBackend();
    m_real.reset((*m_backend)->createPlayer().release());
    VideoPlayerHandle *real = m_real.get();
    connect(real, &VideoPlayerHandle::timeTick, this, &VideoPlayerHandle::timeTick);
    connect(real, &VideoPlayerHandle::ready, this, &VideoPlayerHandle::ready);
    connect(real, &VideoPlayerHandle::endOfItem, this, &VideoPlayerHandle::endOfItem);
    connect(real, &VideoPlayerHandle::failed, this, &VideoPlayerHandle::failed);
    real->setVideoOutput(m_output);
    if (m_source)
        real->load(*m_source);
    if (m_seek)
        real->seek(*m_seek);
    if (m_playing)
        real->play();
}

void PendingVideoPlayer::load(const QUrl &source)
{
    if (m_real) {
        m_real->load(source);
        return;
    }
    // A new item starts paused at its beginning.
    m_source = source;
    m_playing = false;
    m_seek.reset();
}

void PendingVideoPlayer::play()
{
    m_playing = true;
    if (m_real)
        m_real->play();
    else
        startWhenWanted();
}

void PendingVideoPlayer::pause()
{
    m_playing = false;
    if (m_real)
        m_real->pause();
}

void PendingVideoPlayer::seek(double seconds)
{
    if (m_real) {
        m_real->seek(seconds);
        return;
    }
    if (std::isfinite(seconds))
        m_seek = std::max(seconds, 0.0);
}

double PendingVideoPlayer::currentTime() const
{
    return m_real ? m_real->currentTime() : m_seek.value_or(0.0);
}

double PendingVideoPlayer::duration() const
{
    return m_real ? m_real->duration() : qQNaN();
}

void PendingVideoPlayer::setVideoOutput(QObject *output)
{
    m_output = output;
    if (m_real)
        m_real->setVideoOutput(output);
}

} // namespace nimbra
