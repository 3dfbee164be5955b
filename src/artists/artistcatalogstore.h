#pragma once

#include "api/canceltoken.h"
#include "api/nimbraapi.h"
#include "artists/artistpagecontent.h"
#include "artists/artistprofile.h"
#include "tracks/trackstores.h"

#include <QFuture>
#include <QHash>
#include <QObject>
#include <QPromise>
#include <QStringList>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// The whole catalogue (every track in brief form, every album, the featured
// artist names) loaded in one go when an artist page first needs it, with
// the artists derived from it. Artist pages are built from this copy without
// further requests. Main thread only.
class ArtistCatalogStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool isReady READ isReady NOTIFY isReadyChanged)
    // Null while there is no failure to show.
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    explicit ArtistCatalogStore(NimbraApi api, QObject *parent = nullptr);
    ~ArtistCatalogStore() override;

    bool isLoading() const { return m_isLoading; }
    bool isReady() const { return m_isReady; }
    std::optional<QString> error() const { return m_error; }
    // Album id to the number of catalogue tracks that name it.
    QHash<QString, int> albumTrackCounts() const { return m_albumTrackCounts; }

    // token: the signed-in user's, empty for a guest.
    Q_INVOKABLE void reload(QString token);
    // Loads the catalogue afresh, or, when a load is running, waits for it
    // and loads again only when it did not leave the catalogue ready.
    // Finishes when no load is running any more (or the store is gone);
    // never throws (a failure ends in error()).
    QCoro::Task<> reloadAsync(std::optional<QString> token);

    // The page of an artist; nothing while the catalogue is not ready or
    // when no artist answers to the name.
    std::optional<ArtistPageContent> artistPage(const QString &name, const std::optional<UserOut> &user) const;

    // A track changed elsewhere (a favourite or a rating given): pages built
    // from now on show this copy in place of the catalogue's, until a load
    // started later brings the service's own.
    void replaceTrack(const TrackOut &track);
    // Takes every track the favourites and ratings stores report changed.
    void followTrackChanges(const TrackStores &stores);
    // The listener's session ended: the catalogue, which carries their
    // favourites and ratings, goes with it (a load under way too), and the
    // next artist page loads it afresh.
    void endSession();

signals:
    void isLoadingChanged();
    void isReadyChanged();
    void errorTextChanged();
    void albumTrackCountsChanged();

private:
    QString errorText() const { return m_error.value_or(QString()); }

    void startLoad(std::optional<QString> token);
    QCoro::Task<> runLoad(std::optional<QString> token, CancelToken load, QPromise<void> done);
    QCoro::Task<> loadCatalogue(std::optional<QString> token, CancelToken load);
    // Only the slot's current load leaves the loading state as it ends.
    void endLoad(const CancelToken &load);

    static QHash<QString, int> countTracksPerAlbum(const QList<TrackOut> &tracks);

    void setLoading(bool loading);
    void setReady(bool ready);
    void setError(std::optional<QString> error);

    NimbraApi m_api;

    bool m_isLoading = false;
    bool m_isReady = false;
    std::optional<QString> m_error;
    // The last successful load, kept through failed ones; the tracks are
    // kept only in the profiles' compact table.
    QList<AlbumOut> m_albums;
    QList<ArtistProfile> m_profiles;
    QStringList m_featuredNames;
    QHash<QString, int> m_albumTrackCounts;

    // Copies changed since they were loaded, by track id, each with the
    // number of the change; a load drops those older than its start.
    QHash<QString, std::pair<quint64, TrackOut>> m_changedTracks;
    quint64 m_lastChange = 0;

    TaskSlot m_load;
    // Finishes when the slot's load has ended, also when the store went
    // first, so that any number of calls can wait for it.
    QFuture<void> m_loadDone;
};

} // namespace nimbra
