#include "collection/playlistsstore.h"

#include "api/session.h"
#include "api/boundary.h"

#include <QPointer>

namespace nimbra {

PlaylistsStore::PlaylistsStore(Session *session, QObject *parent) : QObject(parent), m_session(session)
{
    if (m_session)
        connect(m_session, &Session::tokenChanged, this, &PlaylistsStore::sessionChanged);
}

std::optional<QString> PlaylistsStore::token() const
{
    return m_session ? m_session->token() : std::nullopt;
}

void PlaylistsStore::sessionChanged()
{
    // The requests of a session that ended went with it (Session::lifetime).
    setPlaylists({});
    setLoading(false);
    setError(std::nullopt);
    setLoadOutcome(false, QString());
}

QCoro::Task<void> PlaylistsStore::loadAsync()
{
    const std::optional<QString> token = this->token();
    if (!token)
        co_return;
    QPointer<PlaylistsStore> self(this);
    const NimbraApi api = m_api;
    const CancelToken session = Session::lifetimeOf(m_session);
    setLoading(true);
    setError(std::nullopt);

    QCoro::Task<QList<PlaylistOut>> request = api.playlists(*token, session);
    Outcome<QList<PlaylistOut>> answer = co_await runAtBoundary(std::move(request));
    // The session changed meanwhile: its answer belongs to nobody here.
    if (!self || session.isCancelled())
        co_return;
    if (answer) {
        setPlaylists(std::move(*answer));
        setLoadOutcome(true, QString());
    } else {
        setError(answer.errorText);
        setLoadOutcome(m_hasLoaded, answer.errorText);
    }
    setLoading(false);
}

QCoro::Task<std::optional<PlaylistOut>> PlaylistsStore::createAsync(QString title)
{
    const std::optional<QString> token = this->token();
    if (!token)
        co_return std::nullopt;
    QPointer<PlaylistsStore> self(this);
    const NimbraApi api = m_api;
    const CancelToken session = Session::lifetimeOf(m_session);

    QCoro::Task<PlaylistOut> request = api.createPlaylist(title, *token, session);
    Outcome<PlaylistOut> outcome = co_await runAtBoundary(std::move(request));
    const std::optional<PlaylistOut> created = outcome.value;
    if (!self)
        co_return std::nullopt;
    if (session.isCancelled()) {
        emit createFinished(title, QVariant());
        co_return std::nullopt;
    }
    if (!created) {
        setError(outcome.errorText);
        emit createFinished(title, QVariant());
        co_return std::nullopt;
    }
    QList<PlaylistOut> playlists = m_playlists;
    playlists.prepend(*created);
    setPlaylists(std::move(playlists));
    emit createFinished(title, QVariant::fromValue(*created));
    co_return created;
}

QCoro::Task<bool> PlaylistsStore::addTrackAsync(QString trackId, QString playlistId)
{
    const std::optional<QString> token = this->token();
    if (!token)
        co_return false;
    QPointer<PlaylistsStore> self(this);
    const NimbraApi api = m_api;
    const CancelToken session = Session::lifetimeOf(m_session);

    QCoro::Task<std::optional<qint64>> request = api.addTrackToPlaylist(playlistId, trackId, *token, session);
    const Outcome<std::optional<qint64>> outcome = co_await runAtBoundary(std::move(request));
    if (!self)
        co_return false;
    if (session.isCancelled()) {
        emit addTrackFinished(trackId, playlistId, false);
        co_return false;
    }
    if (!outcome) {
        setError(outcome.errorText);
        emit addTrackFinished(trackId, playlistId, false);
        co_return false;
    }
    // The service's answer says how many the playlist holds now: a track it
    // held already is not counted twice. Only an answer without the
    // playlist leaves the count to be guessed here.
    const auto it = std::find_if(m_playlists.cbegin(), m_playlists.cend(),
        [&](const PlaylistOut &playlist) { return playlist.id == playlistId; });
    if (it != m_playlists.cend()) {
        QList<PlaylistOut> playlists = m_playlists;
        qint64 &count = playlists[it - m_playlists.cbegin()].trackCount;
        count = outcome.value->value_or(count + 1);
        setPlaylists(std::move(playlists));
    }
    emit addTrackFinished(trackId, playlistId, true);
    co_return true;
}

void PlaylistsStore::load()
{
    loadAsync();
}

void PlaylistsStore::create(QString title)
{
    createAsync(std::move(title));
}

void PlaylistsStore::addTrack(QString trackId, QString playlistId)
{
    addTrackAsync(std::move(trackId), std::move(playlistId));
}

void PlaylistsStore::setPlaylists(QList<PlaylistOut> playlists)
{
    if (m_playlists == playlists)
        return;
    m_playlists = std::move(playlists);
    emit playlistsChanged();
}

void PlaylistsStore::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    m_loading = loading;
    emit isLoadingChanged();
}

void PlaylistsStore::setError(std::optional<QString> message)
{
    if (m_error == message)
        return;
    m_error = std::move(message);
    emit errorTextChanged();
}

void PlaylistsStore::setLoadOutcome(bool loaded, const QString &error)
{
    if (m_hasLoaded == loaded && m_loadError == error)
        return;
    m_hasLoaded = loaded;
    m_loadError = error;
    emit loadStateChanged();
}

} // namespace nimbra
