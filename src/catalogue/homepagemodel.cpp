#include "catalogue/homepagemodel.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/error.h"
#include "api/settle.h"
#include "api/sharedanswers.h"
#include "format/russiandate.h"
#include "player/playerstore.h"
#include "catalogue/albumdirectory.h"
#include "catalogue/homesummary.h"
#include "format/russianplural.h"
#include "library/smartplaylistmodel.h"
#include "library/trackdraws.h"
#include "tracks/trackstores.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The reads of one load go out once: the counts and the releases both want
// the album list, the counts and the daily list both probe the catalogue.
// A load is known by the cancellation its three operations share; the wave
// is a load of its own.
class LoadAnswers
{
public:
    explicit LoadAnswers(NimbraApi api) : m_api(std::move(api)) { }

    NimbraApi api(const CancelToken &load)
    {
        std::shared_ptr<SharedAnswers> answers = m_answers.lock();
        if (!answers || !(load == m_load)) {
            answers = std::make_shared<SharedAnswers>();
            m_answers = answers;
            m_load = load;
            // The album list, the largest of them, serves the artist
            // catalogue too when it opens soon after.
            SharedAnswers::offerToLaterLoads(answers);
        }
        return m_api.sharingAnswers(std::move(answers));
    }

private:
    NimbraApi m_api;
    CancelToken m_load;
    // Held by the load's running operations (and, while fresh, by the offer
    // to later loads) only, so that no answer stays for long.
    std::weak_ptr<SharedAnswers> m_answers;
};

} // namespace

HomePageModel::Sources HomePageModel::Sources::fromApi(const NimbraApi &api)
{
    const auto shared = std::make_shared<LoadAnswers>(api);
    return {
        [shared](Token token, CancelToken cancel) {
            return HomeSummary(shared->api(cancel)).libraryStats(std::move(token), std::move(cancel));
        },
        [shared](Token token, CancelToken cancel) {
            return HomeSummary(shared->api(cancel)).newReleases(std::move(token), releaseLimit, std::move(cancel));
        },
        [shared](Token token, CancelToken cancel) {
            return TrackDraws(shared->api(cancel)).dailyPlaylist(std::move(token), dailySize, std::move(cancel));
        },
        [api](Token token, CancelToken cancel) {
            return TrackDraws(api).myWaveQueue(std::move(token), std::move(cancel));
        },
    };
}

HomePageModel::Stores HomePageModel::Stores::shared()
{
    const TrackStores stores = TrackStores::registered();
    return {stores.player, stores.session, {}};
}

HomePageModel::HomePageModel(QObject *parent)
    : HomePageModel(Sources::fromApi(NimbraApi()), Stores::shared(), parent)
{
}

HomePageModel::HomePageModel(Sources sources, Stores stores, QObject *parent)
    : QObject(parent), m_sources(std::move(sources)), m_stores(std::move(stores)),
      m_releases(new HomeReleaseModel(this)), m_showing(this, [this] { load(); })
{
}

void HomePageModel::setShown(bool shown)
{
    if (m_showing.setShown(shown))
        emit shownChanged();
}

HomePageModel::~HomePageModel()
{
    m_showing.setShown(false);
    m_loadSlot.cancel();
}

QString HomePageModel::dailyDateText() const
{
    return russianDayMonth(m_stores.today ? m_stores.today() : QDate::currentDate());
}

QString HomePageModel::dailyCountText() const
{
    return russianCount(m_dailyTracks.size(), CountWord::Track) + u" · обновляется в 00:00"_s;
}

void HomePageModel::load()
{
    runLoad(m_loadSlot.renew(Session::lifetimeOf(m_stores.session)));
}

QCoro::Task<void> HomePageModel::runLoad(CancelToken cancel)
{
    QPointer<HomePageModel> self(this);
    setLoading(true);
    setErrorText(QString());

    const Token token = currentToken();
    const CancelToken children;
    const CancelRegistration forward(cancel, [children] { children.cancel(); });
    QCoro::Task<LibraryStats> stats = m_sources.stats(token, children);
    QCoro::Task<QList<HomeReleaseItem>> releases = m_sources.releases(token, children);
    QCoro::Task<QList<TrackOut>> daily = m_sources.daily(token, children);
    const auto wanted = [&self, &cancel] { return self && self->m_loadSlot.isCurrent(cancel); };

    // Taken in this order whichever comes first; each is shown as soon as
    // it is taken.
    QString failure;
    try {
        const LibraryStats counts = co_await stats;
        if (wanted()) {
            self->setStats(counts);
            QList<HomeReleaseItem> items = co_await releases;
            if (wanted()) {
                self->m_releases->setItems(std::move(items));
                QList<TrackOut> tracks;
                try {
                    tracks = co_await daily;
                } catch (...) {
                    // A missing daily list only hides its card.
                    logDroppedFailure("the daily list", std::current_exception());
                }
                if (wanted())
                    self->setDailyTracks(std::move(tracks));
            }
        }
    } catch (...) {
        failure = describeException(std::current_exception());
    }

    if (!failure.isEmpty() || !wanted())
        children.cancel();
    co_await settle(stats);
    co_await settle(releases);
    co_await settle(daily);
    if (!wanted())
        co_return;
    if (!failure.isEmpty())
        self->setErrorText(failure, Failed::Load);
    self->setLoading(false);
    self->m_loadSlot.finish(cancel);
}

void HomePageModel::startMyWave()
{
    if (m_isWaveLoading)
        return;
    setWaveLoading(true);
    runWave(currentToken(), Session::lifetimeOf(m_stores.session));
}

QCoro::Task<void> HomePageModel::runWave(Token token, CancelToken session)
{
    QPointer<HomePageModel> self(this);
    const QPointer<PlayerStore> player = m_stores.player;
    const auto source = m_sources.wave;

    QCoro::Task<QList<TrackOut>> request = source(std::move(token), session);
    Outcome<QList<TrackOut>> queue = co_await runAtBoundary(std::move(request));
    // The wave plays even when the page has gone meanwhile, but nothing of
    // a session that ended meanwhile plays for whoever comes next.
    const bool sessionEnded = session.isCancelled();
    if (queue && !queue->isEmpty() && player && !sessionEnded)
        player->play(queue->constFirst(), *queue);
    if (!self)
        co_return;
    if (!queue && !sessionEnded)
        self->setErrorText(queue.errorText, Failed::Wave);
    else if (self->m_failed == Failed::Wave)
        self->setErrorText(QString());
    self->setWaveLoading(false);
}

void HomePageModel::playRelease(int row)
{
    const QList<HomeReleaseItem> &items = m_releases->items();
    if (row < 0 || row >= items.size())
        return;
    if (const auto *album = std::get_if<AlbumOut>(&items.at(row).target)) {
        AlbumDirectory::remember(*album);
        emit albumRequested(album->id);
        return;
    }
    QList<TrackOut> queue;
    for (const HomeReleaseItem &item : items) {
        if (const auto *track = std::get_if<TrackOut>(&item.target))
            queue.append(*track);
    }
    if (m_stores.player)
        m_stores.player->play(std::get<TrackOut>(items.at(row).target), queue);
}

void HomePageModel::retry()
{
    if (m_failed == Failed::Wave)
        startMyWave();
    else
        load();
}

void HomePageModel::showDailyIn(SmartPlaylistModel *list) const
{
    if (!list)
        return;
    list->setPreloadedTracks(m_dailyTracks);
    if (list->kind() == u"daily"_s)
        list->reload();
    else
        list->setKind(u"daily"_s);
}

QString HomePageModel::favoritesSubtitle() const
{
    return favoritesSubtitle(m_stats.favoritesCount, currentToken().has_value());
}

QString HomePageModel::favoritesSubtitle(qint64 count, bool signedIn)
{
    // Only a guest, who cannot keep favourites, is asked to sign in; a
    // listener with none reads the count.
    if (count < 1)
        return signedIn ? russianCount(0, CountWord::Track) : u"Войдите, чтобы сохранять"_s;
    return russianCount(count, CountWord::Track);
}

QString HomePageModel::collectionSubtitle(qint64 albums, qint64 tracks)
{
    return russianCount(albums, CountWord::Album) + u" · "_s + russianCount(tracks, CountWord::Track);
}

QString HomePageModel::clipsSubtitle(qint64 count)
{
    return russianCount(count, CountWord::Clip);
}

QString HomePageModel::battlesSubtitle(qint64 count)
{
    return russianCount(count, CountWord::Battle);
}

QStringList HomePageModel::coverUrls(const QList<TrackOut> &tracks)
{
    QStringList urls;
    for (qsizetype i = 0; i < std::min<qsizetype>(tracks.size(), dailyCoverSlots); ++i) {
        const std::optional<QString> &path = tracks.at(i).coverUrl;
        const std::optional<QUrl> url = path ? ApiConfig::resolve(*path) : std::nullopt;
        if (url && url->isValid())
            urls.append(url->toString());
    }
    return urls;
}

LoadState HomePageModel::loadState() const
{
    if (m_isLoading)
        return LoadState::loading();
    return m_errorText.isEmpty() ? LoadState::loaded(true) : LoadState::failed(m_errorText);
}

HomePageModel::Token HomePageModel::currentToken() const
{
    return m_stores.session ? m_stores.session->token() : std::nullopt;
}

void HomePageModel::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    emit loadStateChanged();
}

void HomePageModel::setWaveLoading(bool loading)
{
    if (m_isWaveLoading == loading)
        return;
    m_isWaveLoading = loading;
    emit isWaveLoadingChanged();
}

void HomePageModel::setErrorText(const QString &text, Failed what)
{
    m_failed = text.isEmpty() ? Failed::Nothing : what;
    if (m_errorText == text)
        return;
    m_errorText = text;
    emit loadStateChanged();
    emit errorTextChanged();
}

void HomePageModel::setStats(const LibraryStats &stats)
{
    m_stats = stats;
    emit statsChanged();
}

void HomePageModel::setDailyTracks(QList<TrackOut> tracks)
{
    m_dailyTracks = std::move(tracks);
    emit dailyChanged();
}

} // namespace nimbra
