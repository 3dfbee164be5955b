#include "catalogue/searchmodel.h"

#include "catalogue/albumdirectory.h"

#include "api/session.h"
#include "api/boundary.h"
#include "api/clock.h"
#include "api/nimbraapi.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// Trimmed of spaces and tabs but not of line breaks: a field of newlines
// alone still enables "Найти" (and then searches nothing).
bool holdsTextBesidesSpaces(const QString &text)
{
    for (const QChar c : text) {
        const bool lineBreak = c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == QChar(0x85)
            || c == QChar(0x2028) || c == QChar(0x2029);
        if (!c.isSpace() || lineBreak)
            return true;
    }
    return false;
}

} // namespace

SearchModel::SearchModel(QObject *parent)
    : SearchModel(serviceSearcher(TrackStores::registered().session), Clock::system(), TrackStores::registered(), parent)
{
}

SearchModel::SearchModel(Searcher searcher, Clock *clock, TrackStores stores, QObject *parent)
    : QObject(parent),
      m_searcher(std::move(searcher)),
      m_clock(clock),
      m_session(stores.session),
      m_albums(new AlbumListModel(this)),
      m_tracks(new TrackListModel(std::move(stores), this))
{
    // A failed heart stands where the results stood, until the next search.
    m_tracks->setActionFailureHandler([this](const QString &text) {
        setErrorText(text);
        emit stateChanged();
    });
}

SearchModel::~SearchModel() = default;

SearchModel::Searcher SearchModel::serviceSearcher(QPointer<Session> session)
{
    return [session](QString term, CancelToken cancel) -> QCoro::Task<SearchResults> {
        const std::optional<QString> token = session ? session->token() : std::nullopt;
        return NimbraApi().search(std::move(term), token, cancel);
    };
}

void SearchModel::setQuery(const QString &query)
{
    if (query == m_query)
        return;
    m_query = query;
    emit queryChanged();
    emit canSubmitChanged();
    schedule(false);
}

void SearchModel::submit()
{
    schedule(true);
}

LoadState SearchModel::loadState() const
{
    if (m_isLoading)
        return LoadState::loading();
    if (!m_errorText.isEmpty())
        return LoadState::failed(m_errorText);
    return LoadState::loaded(m_hasSearched && (m_tracks->count() > 0 || m_albums->count() > 0));
}

QString SearchModel::emptyTitle() const
{
    return m_hasSearched ? u"Ничего не найдено"_s : u"Поиск"_s;
}

QString SearchModel::emptyText() const
{
    return m_hasSearched ? QString() : u"Введите название трека, исполнителя или альбома"_s;
}

bool SearchModel::canSubmit() const
{
    return !m_isLoading && holdsTextBesidesSpaces(m_query);
}

void SearchModel::schedule(bool immediate)
{
    const QString term = m_query.trimmed();
    if (term.isEmpty()) {
        m_task.cancel();
        setResults({}, {}, false);
        setLoading(false);
        return;
    }
    run(term, immediate, m_task.renew(Session::lifetimeOf(m_session)));
}

QCoro::Task<void> SearchModel::run(QString term, bool immediate, CancelToken cancel)
{
    QPointer<SearchModel> self(this);
    if (!immediate) {
        QCoro::Task<> pause = m_clock->sleep(debounce, cancel);
        co_await std::move(pause);
        if (!self || cancel.isCancelled())
            co_return;
    }
    setLoading(true);
    if (!m_errorText.isEmpty()) {
        setErrorText({});
        emit stateChanged();
    }
    QCoro::Task<SearchResults> request = m_searcher(term, cancel);
    Outcome<SearchResults> outcome = co_await runAtBoundary(std::move(request));
    // A replaced search changes nothing, not even the loading flag: the
    // newer one owns it.
    if (!self || cancel.isCancelled())
        co_return;
    m_task.finish(cancel);
    if (outcome)
        setResults(*outcome, {}, true);
    else
        setResults({}, outcome.errorText, true);
    setLoading(false);
}

void SearchModel::setResults(const SearchResults &results, const QString &errorText, bool hasSearched)
{
    // The album page opened from a found album finds its record here.
    AlbumDirectory::remember(results.albums);
    m_albums->setAlbums(results.albums);
    m_tracks->setTracks(results.tracks);
    setErrorText(errorText);
    m_hasSearched = hasSearched;
    emit stateChanged();
}

void SearchModel::setErrorText(const QString &text)
{
    if (m_errorText == text)
        return;
    m_errorText = text;
    emit errorTextChanged();
}

void SearchModel::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    emit stateChanged();
    emit canSubmitChanged();
}

} // namespace nimbra
