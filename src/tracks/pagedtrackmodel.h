#pragma once

#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "tracks/tracklistmodel.h"

#include <QCoro/QCoroTask>

#include <functional>

namespace nimbra {

// A track list that loads itself page by page as the view scrolls
// (canFetchMore/fetchMore). A reload starts over and drops any page still
// on its way for the load before; one page is asked for at a time; the end
// is reached when a page comes back short of rows or the service says it
// was the last.
// (The base is named in full so that QML tooling finds it.)
class PagedTrackModel : public nimbra::TrackListModel
{
    Q_OBJECT
    // A page request is running (the first page's or a later one's).
    Q_PROPERTY(bool isFetching READ isFetching NOTIFY fetchingChanged)

public:
    // Fetches page n (counted from firstPage); throws on failure.
    using PageLoader = std::function<QCoro::Task<TrackPage>(int page, CancelToken cancel)>;
    static constexpr int firstPage = 1;

    explicit PagedTrackModel(PageLoader loader = {}, QObject *parent = nullptr);
    PagedTrackModel(PageLoader loader, TrackStores stores, QObject *parent = nullptr);
    ~PagedTrackModel() override;

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // A view's row came into view (or into the view's cache): the last
    // loaded row asks for the next page, unless one is on its way or the
    // end was reached. (A view asks canFetchMore only now and then.)
    Q_INVOKABLE void rowAppeared(int row);

    // Starts over from the first page.
    void reload() override;
    bool hasMore() const { return m_hasMore; }
    bool isFetching() const { return m_fetching; }

signals:
    void fetchingChanged();

private:
    void setFetching(bool fetching);
    QCoro::Task<void> loadPage(int page, CancelToken cancel);

    PageLoader m_loader;
    TaskSlot m_task;
    int m_nextPage = firstPage;
    bool m_hasMore = false;
    bool m_fetching = false;
};

} // namespace nimbra
