#include "tracks/pagedtrackmodel.h"

#include "api/boundary.h"

#include <QPointer>

namespace nimbra {

PagedTrackModel::PagedTrackModel(PageLoader loader, QObject *parent)
    : PagedTrackModel(std::move(loader), TrackStores::registered(), parent)
{
}

PagedTrackModel::PagedTrackModel(PageLoader loader, TrackStores stores, QObject *parent)
    : TrackListModel(std::move(stores), parent), m_loader(std::move(loader))
{
}

PagedTrackModel::~PagedTrackModel() = default;

bool PagedTrackModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_hasMore && !m_fetching && loadState().state != LoadState::Failed;
}

void PagedTrackModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    setFetching(true);
    loadPage(m_nextPage, m_task.renew());
}

void PagedTrackModel::rowAppeared(int row)
{
    if (row == count() - 1)
        fetchMore({});
}

void PagedTrackModel::reload()
{
    m_task.cancel();
    m_nextPage = firstPage;
    m_hasMore = false;
    setFetching(m_loader != nullptr);
    setTracks({});
    if (!m_loader) {
        setLoadState(LoadState::idle());
        return;
    }
    setLoadState(LoadState::loading());
    loadPage(firstPage, m_task.renew());
}

void PagedTrackModel::setFetching(bool fetching)
{
    if (m_fetching == fetching)
        return;
    m_fetching = fetching;
    emit fetchingChanged();
}

QCoro::Task<void> PagedTrackModel::loadPage(int page, CancelToken cancel)
{
    QPointer<PagedTrackModel> self(this);
    QCoro::Task<TrackPage> request = m_loader(page, cancel);
    Outcome<TrackPage> outcome = co_await runAtBoundary(std::move(request));
    // A page of a load that was replaced (or of a model that went) is dropped.
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    setFetching(false);
    if (!outcome) {
        // The rows already shown stay; retry() starts over.
        setLoadState(LoadState::failed(outcome.errorText));
        co_return;
    }
    const TrackPage &received = *outcome;
    // Settled before the rows arrive: a view may ask for more as they do.
    m_nextPage = page + 1;
    m_hasMore = !received.items.isEmpty() && (received.pages <= 0 || page < received.pages);
    // Inserted, never a reset, even for the first page (reload() emptied
    // the list): a view answers a reset by asking for the next page at once.
    append(received.items);
    setLoadState(LoadState::loaded(count() > 0));
}

} // namespace nimbra
