#pragma once

#include "library/playlistrowsmodel.h"
#include "tracks/loadstate.h"
#include "tracks/screenshowing.h"

namespace nimbra {

// The playlists screen's own playlists: "3 трека", "5 треков" under each.
class PlaylistsModel : public nimbra::PlaylistRowsModel
{
    Q_OBJECT
    // True while the screen is on screen; each new showing loads afresh.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    // Below the smart cards: the list (Loaded), a spinner while the first
    // answer is awaited, "Нажмите +" only after an answer that held no
    // playlist, the failure's text with a retry when the service could not
    // be asked. A list already shown stays through a failed reload.
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY loadStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    explicit PlaylistsModel(QObject *parent = nullptr);
    PlaylistsModel(PlaylistsStore *store, Session *session, QObject *parent = nullptr);

    bool isShown() const { return m_showing.isShown(); }
    void setShown(bool shown);

    // The store loads when a token is held.
    Q_INVOKABLE void load();
    Q_INVOKABLE void retry() { load(); }

    LoadState loadState() const;
    int loadStateValue() const { return loadState().state; }
    QString errorText() const { return loadState().errorText; }

signals:
    void shownChanged();
    void loadStateChanged();
    void errorTextChanged();

protected:
    QString countText(qint64 trackCount) const override;

private:
    void followErrorText();

    ScreenShowing m_showing;
    // The text last said by errorTextChanged.
    QString m_errorText;
};

} // namespace nimbra
