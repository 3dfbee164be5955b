#pragma once

#include "api/canceltoken.h"
#include "api/nimbraapi.h"
#include "tracks/screenshowing.h"
#include "tracks/tracklistmodel.h"

#include <QCoro/QCoroTask>

namespace nimbra {

// The favourites screen's list: the signed-in listener's favourites as the
// service sends them, loaded while the screen is shown and again whenever
// an account comes or goes. A row's heart takes the track out of the
// favourites, and the row goes once the service has confirmed it. A failed
// load shows its text; the rows loaded before stay behind it.
class FavoritesModel : public nimbra::TrackListModel
{
    Q_OBJECT
    // True while the screen is on screen; each new showing loads afresh.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    // No token and profile: the screen shows the sign-in prompt instead.
    Q_PROPERTY(bool needsSignIn READ needsSignIn NOTIFY needsSignInChanged)

public:
    explicit FavoritesModel(QObject *parent = nullptr);
    FavoritesModel(TrackStores stores, NimbraApi api, QObject *parent = nullptr);
    ~FavoritesModel() override;

    bool isShown() const { return m_showing.isShown(); }
    void setShown(bool shown);
    bool needsSignIn() const;

    // Loads when a token is held; a reload over a list keeps it shown.
    void reload() override;
    // Takes the row's track out of the favourites (adds it, for a track
    // the service sent as no favourite).
    void toggleFavorite(int row) override;

signals:
    void shownChanged();
    void needsSignInChanged();

private:
    QCoro::Task<void> load(QString token, CancelToken cancel);
    QCoro::Task<void> remove(TrackOut track);
    void sessionChanged();

    NimbraApi m_api;
    TaskSlot m_task;
    bool m_hadAccount = false;
    ScreenShowing m_showing;
};

} // namespace nimbra
