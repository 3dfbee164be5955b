#include "catalogue/albumsgridmodel.h"

#include "api/boundary.h"
#include "api/nimbraapi.h"
#include "catalogue/albumdirectory.h"

#include <QPointer>

namespace nimbra {

AlbumsGridModel::AlbumsGridModel(QObject *parent)
    : AlbumsGridModel([api = NimbraApi()](CancelToken cancel) { return api.albums(std::move(cancel)); }, parent)
{
}

AlbumsGridModel::AlbumsGridModel(Loader loader, QObject *parent)
    : AlbumListModel(parent), m_loader(std::move(loader)), m_showing(this, [this] { reload(); })
{
}

void AlbumsGridModel::setShown(bool shown)
{
    if (m_showing.setShown(shown))
        emit shownChanged();
}

AlbumsGridModel::~AlbumsGridModel() = default;

LoadState AlbumsGridModel::loadState() const
{
    if (!m_errorText.isEmpty())
        return LoadState::failed(m_errorText);
    if (count() > 0)
        return LoadState::loaded(true);
    if (m_isLoading)
        return LoadState::loading();
    return m_hasLoaded ? LoadState::loaded(false) : LoadState::idle();
}

void AlbumsGridModel::reload()
{
    m_isLoading = true;
    setErrorText({});
    emit loadStateChanged();
    load(m_task.renew());
}

QCoro::Task<void> AlbumsGridModel::load(CancelToken cancel)
{
    QPointer<AlbumsGridModel> self(this);
    QCoro::Task<QList<AlbumOut>> request = m_loader(cancel);
    Outcome<QList<AlbumOut>> outcome = co_await runAtBoundary(std::move(request));
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (outcome) {
        AlbumDirectory::remember(*outcome);
        setAlbums(std::move(*outcome.value));
    } else {
        setErrorText(outcome.errorText);
    }
    m_isLoading = false;
    m_hasLoaded = true;
    emit loadStateChanged();
}

void AlbumsGridModel::setErrorText(const QString &text)
{
    if (m_errorText == text)
        return;
    m_errorText = text;
    emit errorTextChanged();
}

} // namespace nimbra
