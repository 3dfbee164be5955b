#include "collection/ratingsstore.h"

#include "api/session.h"
#include "api/boundary.h"

namespace nimbra {

RatingsStore::RatingsStore(Session *session, QObject *parent) : QObject(parent), m_session(session)
{
    if (m_session)
        connect(m_session, &Session::ended, this, &RatingsStore::sessionEnded);
}

void RatingsStore::sessionEnded()
{
    m_requests.endSession();
    setError(std::nullopt);
}

QCoro::Task<std::optional<TrackOut>> RatingsStore::toggleAsync(TrackOut track, QString type)
{
    QPointer<RatingsStore> self(this);
    const NimbraApi api = m_api;
    const QString token = m_session ? m_session->token().value_or(QString()) : QString();
    const std::optional<CancelToken> started = m_requests.begin(track.id, Session::lifetimeOf(m_session));
    if (!started)
        co_return std::nullopt;
    const CancelToken session = *started;
    setError(std::nullopt);

    QCoro::Task<RateResponse> request = api.rateTrack(track.id, type, token, session);
    Outcome<RateResponse> answer = co_await runAtBoundary(std::move(request));
    if (!self || !m_requests.finish(track.id, session))
        co_return std::nullopt;
    if (!answer) {
        setError(answer.errorText);
        co_return std::nullopt;
    }
    // The answer's track id is the service's echo; the caller's track is
    // the one that changed.
    const TrackOut changed = track.withUserRating(answer->type);
    emit trackChanged(changed);
    co_return changed;
}

void RatingsStore::setError(std::optional<QString> message)
{
    if (m_error == message)
        return;
    m_error = std::move(message);
    emit errorTextChanged();
}

} // namespace nimbra
