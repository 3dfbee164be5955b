#include "artists/artistpagemodel.h"

#include "account/authstore.h"
#include "api/session.h"
#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "artists/artistcatalogstore.h"
#include "platform/clipboard.h"
#include "player/playerstore.h"
#include "artists/artistpagetext.h"

#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbra {

ArtistPageModel::ArtistPageModel(QObject *parent)
    : ArtistPageModel(TrackStores::registered(), systemRandomBits(), parent)
{
}

ArtistPageModel::ArtistPageModel(TrackStores stores, RandomBits random, QObject *parent)
    : QObject(parent)
    , m_stores(stores)
    , m_random(std::move(random))
    , m_tracks(new TrackListModel(stores, this))
    , m_artAlbums(new ArtistAlbumListModel(this))
    , m_featAlbums(new ArtistAlbumListModel(this))
    , m_rows(new ArtistPageRows(m_tracks, this))
{
    // A mark given while the page is open reaches the copies it plays, not
    // only its rows.
    if (stores.favorites)
        connect(stores.favorites, &FavoritesStore::trackChanged, this, &ArtistPageModel::replaceTrack);
    if (stores.ratings)
        connect(stores.ratings, &RatingsStore::trackChanged, this, &ArtistPageModel::replaceTrack);
    // The stores registered when the screen is made.
    m_catalog = StoreRegistry::get<ArtistCatalogStore>();
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_catalog)
        connect(m_catalog, &ArtistCatalogStore::isLoadingChanged, this, &ArtistPageModel::updateState);
}

ArtistPageModel::~ArtistPageModel() = default;

void ArtistPageModel::setArtistName(const QString &name)
{
    if (m_artistName == name)
        return;
    m_artistName = name;
    emit artistNameChanged();
    emit titleChanged();
    load(false);
}

QString ArtistPageModel::notFoundText() const
{
    return u"«"_s + m_artistName + u"» нет в каталоге"_s;
}

void ArtistPageModel::retry()
{
    load(true);
}

void ArtistPageModel::load(bool force)
{
    if (!m_catalog || m_artistName.isEmpty())
        return;
    runLoad(m_load.renew(), force);
}

QCoro::Task<> ArtistPageModel::runLoad(CancelToken load, bool force)
{
    QPointer<ArtistPageModel> self(this);
    QPointer<ArtistCatalogStore> catalog = m_catalog;
    m_loadError.reset();
    const bool wait = force || !catalog->isReady();
    // Loading shows until this page has its answer, also in the moment
    // between the catalogue's end and this task's turn.
    m_waiting = wait;
    setPage(std::nullopt);
    if (wait) {
        const std::optional<QString> token = m_stores.session ? m_stores.session->token() : std::nullopt;
        co_await catalog->reloadAsync(token);
        // A load for a name no longer shown, or overtaken by a newer load
        // of this page, writes nothing: only the last one decides.
        if (!self || !catalog || !m_load.isCurrent(load))
            co_return;
        m_waiting = false;
    }
    if (const std::optional<QString> error = catalog->error()) {
        m_loadError = error;
        updateState();
        co_return;
    }
    const std::optional<UserOut> user = m_auth ? m_auth->user() : std::nullopt;
    setPage(catalog->artistPage(m_artistName, user));
}

void ArtistPageModel::setPage(std::optional<ArtistPageContent> page)
{
    if (!page && !m_page) {
        updateState();
        return;
    }
    m_page = std::move(page);
    // Another page starts with its list collapsed.
    m_tracksExpanded = false;
    m_tracks->setTracks(m_page ? m_page->allTracks : QList<TrackOut>());
    const QHash<QString, int> counts = m_catalog ? m_catalog->albumTrackCounts() : QHash<QString, int>();
    m_artAlbums->setAlbums(m_page ? m_page->artAlbums : QList<AlbumOut>(), counts);
    m_featAlbums->setAlbums(m_page ? m_page->featAlbums : QList<AlbumOut>(), counts);
    m_rows->setShape(rowShape(), true);
    emit pageChanged();
    emit titleChanged();
    emit tracksExpandedChanged();
    updateState();
}

void ArtistPageModel::replaceTrack(const TrackOut &changed)
{
    if (m_page) {
        m_page->changeTracks([&changed](TrackOut &track) {
            if (track.id == changed.id)
                track = changed;
        });
    }
}

void ArtistPageModel::updateState()
{
    LoadState state;
    const bool catalogLoading = m_catalog && m_catalog->isLoading();
    if (m_artistName.isEmpty())
        state = LoadState::idle();
    else if ((catalogLoading || m_waiting) && !m_page && !m_loadError)
        state = LoadState::loading();
    else if (m_loadError)
        state = LoadState::failed(*m_loadError);
    else
        state = LoadState::loaded(m_page.has_value());
    if (state == m_loadState)
        return;
    const bool textChanged = m_loadState.errorText != state.errorText;
    m_loadState = state;
    emit loadStateChanged();
    if (textChanged)
        emit errorTextChanged();
}

QString ArtistPageModel::title() const
{
    return m_page ? m_page->resolvedName : m_artistName;
}

QString ArtistPageModel::coverUrl() const
{
    return m_page ? ApiConfig::resolvedText(m_page->profile.coverUrl) : QString();
}

QString ArtistPageModel::countsText() const
{
    return m_page ? ArtistPageText::counts(m_page->profile.tracks.size(), m_page->artAlbums.size()) : QString();
}

bool ArtistPageModel::showsWave() const
{
    return m_page && m_page->playQueue.size() >= ArtistPageText::waveMinimumTracks;
}

QString ArtistPageModel::shareLink() const
{
    return m_page ? ArtistPageText::shareLink(m_page->resolvedName) : QString();
}

QString ArtistPageModel::releaseTitle() const
{
    return hasLatestRelease() ? m_page->profile.latestRelease->title : QString();
}

QString ArtistPageModel::releaseArtistLine() const
{
    return hasLatestRelease() ? m_page->profile.latestRelease->artistLine : QString();
}

QString ArtistPageModel::releaseCoverUrl() const
{
    return hasLatestRelease() ? ApiConfig::resolvedText(m_page->profile.latestRelease->coverUrl) : QString();
}

QString ArtistPageModel::releaseLine() const
{
    return hasLatestRelease() ? ArtistPageText::releaseLine(*m_page->profile.latestRelease) : QString();
}

QString ArtistPageModel::discographySubtitle() const
{
    return m_page ? ArtistPageText::albumsCount(m_page->artAlbums.size()) : QString();
}

int ArtistPageModel::shownTrackCount() const
{
    const int all = m_tracks->count();
    return m_tracksExpanded ? all : std::min(all, ArtistPageText::visibleTrackRows);
}

int ArtistPageModel::hiddenTrackCount() const
{
    return std::max(0, m_tracks->count() - ArtistPageText::visibleTrackRows);
}

QString ArtistPageModel::toggleText() const
{
    return ArtistPageText::toggle(hiddenTrackCount(), m_tracksExpanded);
}

void ArtistPageModel::play()
{
    if (!m_page || m_page->playQueue.isEmpty() || !m_stores.player)
        return;
    m_stores.player->play(m_page->playQueue.first(), m_page->playQueue);
}

void ArtistPageModel::shuffle()
{
    if (m_page && !m_page->playQueue.isEmpty())
        playShuffled();
}

void ArtistPageModel::wave()
{
    // The page's wave asks the service for nothing: it is the artist's own
    // queue in a fresh random order.
    if (showsWave())
        playShuffled();
}

void ArtistPageModel::playShuffled()
{
    if (!m_stores.player)
        return;
    QList<TrackOut> queue = m_page->playQueue;
    shuffleList(queue, m_random);
    m_stores.player->play(queue.first(), queue);
}

void ArtistPageModel::toggleTracksExpanded()
{
    m_tracksExpanded = !m_tracksExpanded;
    m_rows->setShape(rowShape(), false);
    emit tracksExpandedChanged();
}

ArtistPageRows::Shape ArtistPageModel::rowShape() const
{
    return {hasLatestRelease(), shownTrackCount(), hiddenTrackCount() > 0, m_artAlbums->count(), m_featAlbums->count()};
}

void ArtistPageModel::copyShareLink()
{
    const QString link = shareLink();
    if (link.isEmpty())
        return;
    Clipboard::setText(link);
    emit linkCopied(u"Ссылка скопирована"_s);
}

} // namespace nimbra
