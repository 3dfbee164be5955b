#pragma once

#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "catalogue/albumlistmodel.h"
#include "tracks/loadstate.h"
#include "tracks/screenshowing.h"

#include <QCoro/QCoroTask>

#include <functional>

namespace nimbra {

// Every album the service knows, for the albums grid, in the service's
// order. A load keeps the albums shown until new ones arrive; a failure
// keeps them too but the screen shows the failure until the next load,
// which clears it at once. The records are remembered in the
// AlbumDirectory, so that an album opened from the grid shows at once.
class AlbumsGridModel : public nimbra::AlbumListModel
{
    Q_OBJECT
    // Loading only while there is nothing to show yet; Failed while the
    // last load's failure stands, even over albums loaded before.
    // True while the grid is on screen; each new showing loads afresh,
    // the return from an album's page included.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY loadStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY loadStateChanged)

public:
    using Loader = std::function<QCoro::Task<QList<AlbumOut>>(CancelToken)>;

    // Loads from the service.
    explicit AlbumsGridModel(QObject *parent = nullptr);
    explicit AlbumsGridModel(Loader loader, QObject *parent = nullptr);
    ~AlbumsGridModel() override;

    bool isShown() const { return m_showing.isShown(); }
    void setShown(bool shown);
    LoadState loadState() const;
    int loadStateValue() const { return loadState().state; }
    QString errorText() const { return m_errorText; }
    bool isLoading() const { return m_isLoading; }

    // Asks for the albums again; a load still running is replaced.
    Q_INVOKABLE void reload();
    Q_INVOKABLE void retry() { reload(); }

signals:
    void shownChanged();
    void loadStateChanged();
    void errorTextChanged();

private:
    QCoro::Task<void> load(CancelToken cancel);
    // Says errorTextChanged; the caller says loadStateChanged.
    void setErrorText(const QString &text);

    Loader m_loader;
    TaskSlot m_task;
    QString m_errorText;
    bool m_isLoading = false;
    bool m_hasLoaded = false;
    ScreenShowing m_showing;
};

} // namespace nimbra
