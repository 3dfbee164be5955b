#include "platform/mprisplayeradaptor.h"

#include "platform/mprisservice.h"

namespace nimbra {

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service) { }

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_service->metadata();
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->position();
}

bool MprisPlayerAdaptor::hasTrack() const
{
    return m_service->hasTrack();
}

bool MprisPlayerAdaptor::canGoNext() const
{
    return m_service->canSkip();
}

bool MprisPlayerAdaptor::canGoPrevious() const
{
    return m_service->canSkip();
}

void MprisPlayerAdaptor::Play()
{
    emit m_service->playRequested();
}

void MprisPlayerAdaptor::Pause()
{
    emit m_service->pauseRequested();
}

void MprisPlayerAdaptor::PlayPause()
{
    emit m_service->togglePlayPauseRequested();
}

void MprisPlayerAdaptor::Stop()
{
    emit m_service->pauseRequested();
}

void MprisPlayerAdaptor::Next()
{
    m_service->requestNext();
}

void MprisPlayerAdaptor::Previous()
{
    m_service->requestPrevious();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    m_service->requestSeek(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_service->requestSetPosition(TrackId, Position);
}

} // namespace nimbra
