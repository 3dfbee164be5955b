#pragma once

#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "catalogue/albumlistmodel.h"
#include "tracks/loadstate.h"
#include "tracks/tracklistmodel.h"

#include <QObject>
#include <QPointer>

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>

namespace nimbra {

class Clock;
class Session;

// The search screen's state. Every edit of the query waits 350 ms and then
// searches the trimmed text; Return and "Найти" search at once. A newer
// search cancels the older one, and only the newest changes the screen: a
// cancelled or replaced search sets neither its results, its error nor the
// loading flag. An empty text clears everything at once and asks nothing.
class SearchModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(nimbra::AlbumListModel *albums READ albums CONSTANT)
    Q_PROPERTY(nimbra::TrackListModel *tracks READ tracks CONSTANT)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY stateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool hasSearched READ hasSearched NOTIFY stateChanged)
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY stateChanged)
    // Empty stands for two things: the prompt before any search, and a
    // search that found nothing.
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY stateChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY stateChanged)
    // "Найти" is enabled: text other than spaces, and no search running.
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)

public:
    static constexpr std::chrono::milliseconds debounce {350};
    // Runs one search for a trimmed term; throws on failure.
    using Searcher = std::function<QCoro::Task<SearchResults>(QString term, CancelToken cancel)>;

    // The service's search with the shared stores' session, the system clock.
    explicit SearchModel(QObject *parent = nullptr);
    SearchModel(Searcher searcher, Clock *clock, TrackStores stores, QObject *parent = nullptr);
    ~SearchModel() override;

    QString query() const { return m_query; }
    // Every change searches again after the pause.
    void setQuery(const QString &query);
    // Return in the field, or "Найти": searches now.
    Q_INVOKABLE void submit();

    AlbumListModel *albums() const { return m_albums; }
    TrackListModel *tracks() const { return m_tracks; }
    bool isLoading() const { return m_isLoading; }
    QString errorText() const { return m_errorText; }
    bool hasSearched() const { return m_hasSearched; }
    // What the content area shows, the first that holds: loading, the
    // failure, empty (nothing found, or no search yet), the results.
    LoadState loadState() const;
    int loadStateValue() const { return loadState().state; }
    QString emptyTitle() const;
    QString emptyText() const;
    bool canSubmit() const;

    static Searcher serviceSearcher(QPointer<Session> session);

signals:
    void queryChanged();
    void stateChanged();
    void errorTextChanged();
    void canSubmitChanged();

private:
    void schedule(bool immediate);
    QCoro::Task<void> run(QString term, bool immediate, CancelToken cancel);
    void setResults(const SearchResults &results, const QString &errorText, bool hasSearched);
    void setLoading(bool loading);
    // Says errorTextChanged; the caller says stateChanged.
    void setErrorText(const QString &text);

    Searcher m_searcher;
    Clock *m_clock;
    // A search ends with the session it was started in.
    QPointer<Session> m_session;
    AlbumListModel *m_albums;
    TrackListModel *m_tracks;
    TaskSlot m_task;
    QString m_query;
    QString m_errorText;
    bool m_isLoading = false;
    bool m_hasSearched = false;
};

} // namespace nimbra
