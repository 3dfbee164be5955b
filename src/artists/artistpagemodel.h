#pragma once

#include "account/authstore.h"
#include "api/canceltoken.h"
#include "api/randomshuffle.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistpagecontent.h"
#include "artists/artistalbumlistmodel.h"
#include "artists/artistpagerows.h"
#include "tracks/loadstate.h"
#include "tracks/tracklistmodel.h"
#include "tracks/trackstores.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// The artist page of one name: makes sure the catalogue is loaded, asks it
// for the page and says which of four states shows (loading, the load's
// error, not found as the empty state, the page as loaded). With a ready
// catalogue a new name goes straight to its page. Holds what the header,
// the latest release card, the track list and the album grids show, and
// does what their controls ask.
class ArtistPageModel : public QObject
{
    Q_OBJECT
    // The name exactly as the navigation store holds it.
    Q_PROPERTY(QString artistName READ artistName WRITE setArtistName NOTIFY artistNameChanged)
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY loadStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(QString notFoundText READ notFoundText NOTIFY artistNameChanged)
    // The page's resolved name once there is a page, else the name asked for.
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(bool isFeatured READ isFeatured NOTIFY pageChanged)
    Q_PROPERTY(bool isMine READ isMine NOTIFY pageChanged)
    Q_PROPERTY(QString coverUrl READ coverUrl NOTIFY pageChanged)
    Q_PROPERTY(QString countsText READ countsText NOTIFY pageChanged)
    Q_PROPERTY(bool showsWave READ showsWave NOTIFY pageChanged)
    Q_PROPERTY(QString shareLink READ shareLink NOTIFY pageChanged)
    Q_PROPERTY(bool hasLatestRelease READ hasLatestRelease NOTIFY pageChanged)
    Q_PROPERTY(QString releaseTitle READ releaseTitle NOTIFY pageChanged)
    Q_PROPERTY(QString releaseArtistLine READ releaseArtistLine NOTIFY pageChanged)
    Q_PROPERTY(QString releaseCoverUrl READ releaseCoverUrl NOTIFY pageChanged)
    Q_PROPERTY(QString releaseLine READ releaseLine NOTIFY pageChanged)
    Q_PROPERTY(QString discographySubtitle READ discographySubtitle NOTIFY pageChanged)
    Q_PROPERTY(nimbra::TrackListModel *tracks READ tracks CONSTANT)
    Q_PROPERTY(nimbra::ArtistAlbumListModel *artAlbums READ artAlbums CONSTANT)
    Q_PROPERTY(nimbra::ArtistAlbumListModel *featAlbums READ featAlbums CONSTANT)
    // The whole page as the rows of one list.
    Q_PROPERTY(nimbra::ArtistPageRows *rows READ rows CONSTANT)
    // Rows of "Все треки" on show: five, or all while expanded.
    Q_PROPERTY(int shownTrackCount READ shownTrackCount NOTIFY tracksExpandedChanged)
    Q_PROPERTY(int hiddenTrackCount READ hiddenTrackCount NOTIFY pageChanged)
    Q_PROPERTY(bool tracksExpanded READ tracksExpanded NOTIFY tracksExpandedChanged)
    Q_PROPERTY(QString toggleText READ toggleText NOTIFY tracksExpandedChanged)

public:
    explicit ArtistPageModel(QObject *parent = nullptr);
    // `random` orders the shuffle and the page's wave.
    explicit ArtistPageModel(TrackStores stores, RandomBits random = systemRandomBits(), QObject *parent = nullptr);
    ~ArtistPageModel() override;

    ArtistCatalogStore *catalog() const { return m_catalog; }
    AuthStore *auth() const { return m_auth; }
    QString artistName() const { return m_artistName; }
    // Another name loads its page; the same name again changes nothing.
    void setArtistName(const QString &name);

    LoadState loadState() const { return m_loadState; }
    int loadStateValue() const { return m_loadState.state; }
    QString errorText() const { return m_loadState.errorText; }
    QString notFoundText() const;
    const std::optional<ArtistPageContent> &page() const { return m_page; }

    QString title() const;
    bool isFeatured() const { return m_page && m_page->isFeatured; }
    bool isMine() const { return m_page && m_page->isMine; }
    QString coverUrl() const;
    QString countsText() const;
    bool showsWave() const;
    QString shareLink() const;
    bool hasLatestRelease() const { return m_page && m_page->profile.latestRelease; }
    QString releaseTitle() const;
    QString releaseArtistLine() const;
    QString releaseCoverUrl() const;
    QString releaseLine() const;
    QString discographySubtitle() const;

    TrackListModel *tracks() const { return m_tracks; }
    ArtistAlbumListModel *artAlbums() const { return m_artAlbums; }
    ArtistAlbumListModel *featAlbums() const { return m_featAlbums; }
    ArtistPageRows *rows() const { return m_rows; }
    int shownTrackCount() const;
    int hiddenTrackCount() const;
    bool tracksExpanded() const { return m_tracksExpanded; }
    QString toggleText() const;

    // "Повторить": loads the catalogue afresh.
    Q_INVOKABLE void retry();
    // The header's actions over the page's play queue; none plays anything
    // from an empty queue, the wave nothing below five tracks.
    Q_INVOKABLE void play();
    Q_INVOKABLE void shuffle();
    Q_INVOKABLE void wave();
    Q_INVOKABLE void toggleTracksExpanded();
    // Puts the share link on the clipboard; linkCopied() asks for the
    // confirmation.
    Q_INVOKABLE void copyShareLink();

signals:
    void artistNameChanged();
    void loadStateChanged();
    void errorTextChanged();
    void pageChanged();
    void titleChanged();
    void tracksExpandedChanged();
    void linkCopied(const QString &confirmation);

private:
    void load(bool force);
    QCoro::Task<> runLoad(CancelToken load, bool force);
    void setPage(std::optional<ArtistPageContent> page);
    void replaceTrack(const TrackOut &changed);
    void updateState();
    void playShuffled();
    ArtistPageRows::Shape rowShape() const;

    TrackStores m_stores;
    RandomBits m_random;
    QPointer<ArtistCatalogStore> m_catalog;
    QPointer<AuthStore> m_auth;
    QString m_artistName;
    std::optional<ArtistPageContent> m_page;
    std::optional<QString> m_loadError;
    LoadState m_loadState;
    // Each load's number; a load whose number is no longer the last writes nothing.
    TaskSlot m_load;
    // This page waits for the catalogue.
    bool m_waiting = false;
    bool m_tracksExpanded = false;
    TrackListModel *m_tracks = nullptr;
    ArtistAlbumListModel *m_artAlbums = nullptr;
    ArtistAlbumListModel *m_featAlbums = nullptr;
    ArtistPageRows *m_rows = nullptr;
};

} // namespace nimbra
