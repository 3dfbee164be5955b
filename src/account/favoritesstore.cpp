#include "favoritesstore.h"

#include <QPointer>
#include <QtDebug>

namespace nimbra {

FavoritesStore::FavoritesStore(QObject *parent) : QObject(parent) { }

QCoro::Task<std::optional<TrackOut>> FavoritesStore::toggleAsync(TrackOut track, QString token)
{
    QPointer<FavoritesStore> self(this);
    const NimbraAPI api = m_api;
    setLastError(std::nullopt);

    // The caller's copy decides; the service is not asked what it holds.
    const bool wasFavorite = track.isFavorite;
    std::exception_ptr failure;
    try {
        if (wasFavorite)
            co_await api.removeFavorite(track.id, token);
        else
            co_await api.addFavorite(track.id, token);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return std::nullopt;
    if (failure) {
        setLastError(describeException(failure));
        emit toggleFinished(track.id, QVariant());
        co_return std::nullopt;
    }
    const TrackOut changed = track.withFavorite(!wasFavorite);
    emit toggleFinished(changed.id, QVariant::fromValue(changed));
    co_return changed;
}

void FavoritesStore::toggle(QVariant track, QString token)
{
    if (track.metaType() != QMetaType::fromType<TrackOut>()) {
        qWarning("FavoritesStore::toggle: the value is not a track");
        return;
    }
    toggleAsync(track.value<TrackOut>(), std::move(token));
}

void FavoritesStore::setLastError(std::optional<QString> message)
{
    if (m_lastError == message)
        return;
    m_lastError = std::move(message);
    emit lastErrorChanged();
}

} // namespace nimbra
