#include "collection/favoritesstore.h"

#include "api/session.h"
#include "api/boundary.h"

namespace nimbra {

FavoritesStore::FavoritesStore(Session *session, QObject *parent) : QObject(parent), m_session(session)
{
    if (m_session)
        connect(m_session, &Session::ended, this, &FavoritesStore::sessionEnded);
}

void FavoritesStore::sessionEnded()
{
    m_requests.endSession();
    setError(std::nullopt);
}

QCoro::Task<std::optional<TrackOut>> FavoritesStore::toggleAsync(TrackOut track)
{
    QPointer<FavoritesStore> self(this);
    const NimbraApi api = m_api;
    const std::optional<QString> token = m_session ? m_session->token() : std::optional<QString>();
    const std::optional<CancelToken> started = m_requests.begin(track.id, Session::lifetimeOf(m_session));
    if (!started)
        co_return std::nullopt;
    const CancelToken session = *started;
    setError(std::nullopt);

    // The caller's copy decides; the service is not asked what it holds.
    const bool wasFavorite = track.isFavorite;
    QCoro::Task<void> request = wasFavorite ? api.removeFavorite(track.id, token.value_or(QString()), session)
                                            : api.addFavorite(track.id, token.value_or(QString()), session);
    const Outcome<void> outcome = co_await runAtBoundary(std::move(request));
    if (!self || !m_requests.finish(track.id, session))
        co_return std::nullopt;
    if (!outcome) {
        setError(outcome.errorText);
        co_return std::nullopt;
    }
    const TrackOut changed = track.withFavorite(!wasFavorite);
    emit trackChanged(changed);
    co_return changed;
}

void FavoritesStore::setError(std::optional<QString> message)
{
    if (m_error == message)
        return;
    m_error = std::move(message);
    emit errorTextChanged();
}

} // namespace nimbra
