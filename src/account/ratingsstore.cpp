#include "ratingsstore.h"

#include <QPointer>
#include <QtDebug>

namespace nimbra {

RatingsStore::RatingsStore(QObject *parent) : QObject(parent) { }

QCoro::Task<std::optional<TrackOut>> RatingsStore::toggleAsync(TrackOut track, QString type, QString token)
{
    QPointer<RatingsStore> self(this);
    const NimbraAPI api = m_api;
    setLastError(std::nullopt);

    std::optional<RateResponse> answer;
    std::exception_ptr failure;
    try {
        answer = co_await api.rateTrack(track.id, type, token);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return std::nullopt;
    if (!answer) {
        setLastError(describeException(failure));
        emit toggleFinished(track.id, QVariant());
        co_return std::nullopt;
    }
    // The answer's track id is the service's echo; the caller's track is
    // the one that changed.
    const TrackOut changed = track.withUserRating(answer->type);
    emit toggleFinished(changed.id, QVariant::fromValue(changed));
    co_return changed;
}

void RatingsStore::toggle(QVariant track, QString type, QString token)
{
    if (track.metaType() != QMetaType::fromType<TrackOut>()) {
        qWarning("RatingsStore::toggle: the value is not a track");
        return;
    }
    toggleAsync(track.value<TrackOut>(), std::move(type), std::move(token));
}

void RatingsStore::setLastError(std::optional<QString> message)
{
    if (m_lastError == message)
        return;
    m_lastError = std::move(message);
    emit lastErrorChanged();
}

} // namespace nimbra
