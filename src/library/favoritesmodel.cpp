#include "library/favoritesmodel.h"

#include "collection/favoritesstore.h"
#include "api/session.h"
#include "api/boundary.h"

#include <QPointer>

namespace nimbra {

FavoritesModel::FavoritesModel(QObject *parent) : FavoritesModel(TrackStores::registered(), NimbraApi(), parent) { }

FavoritesModel::FavoritesModel(TrackStores stores, NimbraApi api, QObject *parent)
    : TrackListModel(std::move(stores), parent), m_api(std::move(api)), m_showing(this, [this] { reload(); })
{
    if (Session *session = this->stores().session) {
        m_hadAccount = session->hasAccount();
        connect(session, &Session::changed, this, &FavoritesModel::sessionChanged);
    }
}

FavoritesModel::~FavoritesModel() = default;

void FavoritesModel::setShown(bool shown)
{
    if (m_showing.setShown(shown))
        emit shownChanged();
}

bool FavoritesModel::needsSignIn() const
{
    const Session *session = stores().session;
    return !session || !session->hasAccount();
}

void FavoritesModel::sessionChanged()
{
    // Reloaded only when an account comes or goes, not for a new token.
    const bool hasAccount = !needsSignIn();
    if (hasAccount == m_hadAccount)
        return;
    m_hadAccount = hasAccount;
    emit needsSignInChanged();
    reload();
}

void FavoritesModel::reload()
{
    const Session *session = stores().session;
    const std::optional<QString> token = session ? session->token() : std::nullopt;
    if (!token) {
        // Whatever was on its way for the former listener is dropped.
        m_task.cancel();
        return;
    }
    setLoadState(count() > 0 ? LoadState::loaded(true) : LoadState::loading());
    load(*token, m_task.renew(Session::lifetimeOf(session)));
}

QCoro::Task<void> FavoritesModel::load(QString token, CancelToken cancel)
{
    QPointer<FavoritesModel> self(this);
    const NimbraApi api = m_api;
    QCoro::Task<QList<TrackOut>> request = api.favorites(token, cancel);
    Outcome<QList<TrackOut>> outcome = co_await runAtBoundary(std::move(request));
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (!outcome) {
        setLoadState(LoadState::failed(outcome.errorText));
        co_return;
    }
    setTracks(std::move(*outcome.value));
    setLoadState(LoadState::loaded(count() > 0));
}

void FavoritesModel::toggleFavorite(int row)
{
    if (row < 0 || row >= count() || needsSignIn())
        return;
    remove(trackAt(row));
}

QCoro::Task<void> FavoritesModel::remove(TrackOut track)
{
    QPointer<FavoritesModel> self(this);
    QPointer<FavoritesStore> favorites = stores().favorites;
    if (!favorites)
        co_return;
    const std::optional<TrackOut> changed = co_await favorites->toggleAsync(track);
    // Only a removal the service confirmed takes the row away; a failure
    // leaves it, and its text stays with the store.
    if (!self || !changed || changed->isFavorite)
        co_return;
    removeById(track.id);
    if (loadState().state == LoadState::Loaded)
        setLoadState(LoadState::loaded(count() > 0));
}

} // namespace nimbra
