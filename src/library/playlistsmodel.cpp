#include "library/playlistsmodel.h"

#include "collection/playlistsstore.h"
#include "api/session.h"
#include "api/storeregistry.h"
#include "format/russianplural.h"
#include "tracks/trackstores.h"

using namespace Qt::StringLiterals;

namespace nimbra {

PlaylistsModel::PlaylistsModel(QObject *parent)
    : PlaylistsModel(StoreRegistry::get<PlaylistsStore>(), TrackStores::registered().session, parent)
{
}

PlaylistsModel::PlaylistsModel(PlaylistsStore *store, Session *session, QObject *parent)
    : PlaylistRowsModel(store, session, parent), m_showing(this, [this] { load(); })
{
    if (store) {
        connect(store, &PlaylistsStore::loadStateChanged, this, &PlaylistsModel::loadStateChanged);
        connect(store, &PlaylistsStore::isLoadingChanged, this, &PlaylistsModel::loadStateChanged);
    }
    connect(this, &PlaylistRowsModel::countChanged, this, &PlaylistsModel::loadStateChanged);
    connect(this, &PlaylistsModel::loadStateChanged, this, &PlaylistsModel::followErrorText);
    m_errorText = errorText();
}

void PlaylistsModel::setShown(bool shown)
{
    if (m_showing.setShown(shown))
        emit shownChanged();
}

LoadState PlaylistsModel::loadState() const
{
    if (count() > 0)
        return LoadState::loaded(true);
    if (!store())
        return LoadState::idle();
    if (store()->isLoading())
        return LoadState::loading();
    if (!store()->loadError().isEmpty())
        return LoadState::failed(store()->loadError());
    return store()->hasLoaded() ? LoadState::loaded(false) : LoadState::idle();
}

void PlaylistsModel::followErrorText()
{
    const QString text = errorText();
    if (text == m_errorText)
        return;
    m_errorText = text;
    emit errorTextChanged();
}

void PlaylistsModel::load()
{
    if (store() && session() && session()->token())
        store()->load();
}

QString PlaylistsModel::countText(qint64 trackCount) const
{
    return russianCount(trackCount, CountWord::Track);
}

} // namespace nimbra
