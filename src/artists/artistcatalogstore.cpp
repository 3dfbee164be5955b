#include "artists/artistcatalogstore.h"

#include "api/boundary.h"
#include "api/sharedanswers.h"
#include "artists/artistcataloglogic.h"

#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <QCoro/QCoroFuture>


namespace nimbra {

namespace {

// The future of the worker's derivation as a task, so that what it throws
// reaches the store's boundary like a failed request.
QCoro::Task<QList<ArtistProfile>> awaitDerivation(QFuture<QList<ArtistProfile>> derived)
{
    co_return co_await derived;
}

constexpr qsizetype kExpectedAlbums = 512;

} // namespace

ArtistCatalogStore::ArtistCatalogStore(NimbraApi api, QObject *parent) : QObject(parent), m_api(std::move(api)) { }

ArtistCatalogStore::~ArtistCatalogStore()
{
    // Aborts the requests in flight while the store is still whole; the
    // load then finds itself no longer current.
    m_load.cancel();
}

void ArtistCatalogStore::reload(QString token)
{
    reloadAsync(token.isEmpty() ? std::nullopt : std::optional<QString>(token));
}

QCoro::Task<> ArtistCatalogStore::reloadAsync(std::optional<QString> token)
{
    QPointer<ArtistCatalogStore> self(this);
    if (m_isLoading) {
        // A running load may already bring what this call wants; a second
        // load next to it would only fetch the same catalogue twice.
        if (m_load.isRunning()) {
            const QFuture<void> running = m_loadDone;
            co_await running;
        }
        if (!self || (m_isReady && !m_error))
            co_return;
    }
    startLoad(std::move(token));
    // The load may have been replaced meanwhile by one that another waiting
    // call started; this call is done only when none runs any more.
    while (self && m_load.isRunning()) {
        const QFuture<void> running = m_loadDone;
        co_await running;
    }
}

void ArtistCatalogStore::startLoad(std::optional<QString> token)
{
    setLoading(true);
    setError(std::nullopt);
    setReady(false);
    // Two calls that both waited for one failed load each start a load; only
    // the later one can still decide the store's state, so the slot cancels
    // the earlier one's requests.
    const CancelToken load = m_load.renew();
    QPromise<void> done;
    done.start();
    m_loadDone = done.future();
    runLoad(std::move(token), load, std::move(done));
}

QCoro::Task<> ArtistCatalogStore::runLoad(std::optional<QString> token, CancelToken load, QPromise<void> done)
{
    // done lives in this frame: should the frame end in any other way, its
    // destruction still finishes the future.
    QPointer<ArtistCatalogStore> self(this);
    co_await loadCatalogue(std::move(token), load);
    if (self)
        endLoad(load);
    done.finish();
}

QCoro::Task<> ArtistCatalogStore::loadCatalogue(std::optional<QString> token, CancelToken load)
{
    QPointer<ArtistCatalogStore> self(this);
    const NimbraApi api = m_api;
    const quint64 changesBefore = m_lastChange;
    // A failed part aborts the requests still on their way without ending
    // the load, which still has its failure to tell.
    const CancelToken cancel;
    const CancelRegistration followsLoad(load, [cancel] { cancel.cancel(); });

    // All three start now and run side by side.
    QCoro::Task<QList<TrackOut>> tracksTask = api.fetchAllTracksBrief(token, cancel);
    // The home page has just read the album list, as a rule.
    QCoro::Task<QList<AlbumOut>> albumsTask = api.sharingAnswers(SharedAnswers::withRecentAnswers()).albums(cancel);
    QCoro::Task<QStringList> featuredTask = api.featuredArtistNames(cancel);

    // Once the tracks or the albums failed the load has failed, and what is
    // still on its way is aborted; each request is awaited still, so that
    // nothing of the load outlives it.
    Outcome<QList<TrackOut>> tracks = co_await runAtBoundary(std::move(tracksTask));
    if (!tracks)
        cancel.cancel();
    Outcome<QList<AlbumOut>> albums = co_await runAtBoundary(std::move(albumsTask));
    if (!albums)
        cancel.cancel();
    // Featured names only mark artists; without them the pages still work.
    Outcome<QStringList> featured = co_await runAtBoundary(std::move(featuredTask));
    if (!self || !m_load.isCurrent(load))
        co_return;

    std::optional<QString> failure;
    if (!tracks)
        failure = tracks.errorText;
    else if (!albums)
        failure = albums.errorText;
    QList<ArtistProfile> profiles;
    QHash<QString, int> counts;
    if (!failure) {
        // Deriving thousands of artists takes long enough to freeze the
        // window, so it runs on a worker; the inputs are copies.
        // (The future is made apart from the co_await: g++ 12 may destroy a
        // lambda made inside a co_await expression twice.)
        // The records are moved in, so that they are also freed there once
        // the profiles' compact table holds what is kept of them.
        counts = countTracksPerAlbum(*tracks.value);
        const QFuture<QList<ArtistProfile>> derived
            = QtConcurrent::run(&ArtistCatalogLogic::buildCatalog, std::move(*tracks.value), *albums.value);
        Outcome<QList<ArtistProfile>> built = co_await runAtBoundary(awaitDerivation(derived));
        if (!self || !m_load.isCurrent(load))
            co_return;
        if (built)
            profiles = std::move(*built.value);
        else
            failure = built.errorText;
    }

    if (failure) {
        setError(failure);
        setReady(false);
    } else {
        m_albums = std::move(*albums.value);
        m_featuredNames = featured.value.value_or(QStringList());
        m_albumTrackCounts = std::move(counts);
        emit albumTrackCountsChanged();
        m_profiles = std::move(profiles);
        // What changed after these requests went out may be missing from
        // their answers; what changed before is in them.
        m_changedTracks.removeIf([changesBefore](const auto &entry) { return entry.value().first <= changesBefore; });
        setReady(true);
    }
}

void ArtistCatalogStore::endLoad(const CancelToken &load)
{
    if (!m_load.isCurrent(load))
        return;
    m_load.finish(load);
    setLoading(false);
}

QHash<QString, int> ArtistCatalogStore::countTracksPerAlbum(const QList<TrackOut> &tracks)
{
    QHash<QString, int> counts;
    counts.reserve(kExpectedAlbums);
    for (const TrackOut &track : tracks) {
        if (track.albumId)
            ++counts[*track.albumId];
    }
    return counts;
}

std::optional<ArtistPageContent> ArtistCatalogStore::artistPage(
    const QString &name, const std::optional<UserOut> &user) const
{
    if (!m_isReady)
        return std::nullopt;
    std::optional<ArtistPageContent> page = ArtistCatalogLogic::buildPage(name, m_profiles, m_albums, m_featuredNames, user);
    if (page && !m_changedTracks.isEmpty()) {
        page->changeTracks([this](TrackOut &track) {
            const auto changed = m_changedTracks.constFind(track.id);
            if (changed != m_changedTracks.cend())
                track = changed->second;
        });
    }
    return page;
}

void ArtistCatalogStore::replaceTrack(const TrackOut &track)
{
    if (track.id.isEmpty())
        return;
    m_changedTracks.insert(track.id, {++m_lastChange, track});
}

void ArtistCatalogStore::followTrackChanges(const TrackStores &stores)
{
    if (stores.favorites)
        connect(stores.favorites, &FavoritesStore::trackChanged, this, &ArtistCatalogStore::replaceTrack);
    if (stores.ratings)
        connect(stores.ratings, &RatingsStore::trackChanged, this, &ArtistCatalogStore::replaceTrack);
}

void ArtistCatalogStore::endSession()
{
    // A caller waiting for the load wakes as it ends and finds no catalogue.
    m_load.cancel();
    setLoading(false);
    setError(std::nullopt);
    setReady(false);
    m_profiles.clear();
    m_changedTracks.clear();
}

void ArtistCatalogStore::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    emit isLoadingChanged();
}

void ArtistCatalogStore::setReady(bool ready)
{
    if (m_isReady == ready)
        return;
    m_isReady = ready;
    emit isReadyChanged();
}

void ArtistCatalogStore::setError(std::optional<QString> error)
{
    if (m_error == error)
        return;
    m_error = std::move(error);
    emit errorTextChanged();
}

} // namespace nimbra
