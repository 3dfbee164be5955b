#pragma once

#include "api/canceltoken.h"
#include "api/nimbraapi.h"
#include "tracks/tracklistmodel.h"

#include <QPointer>

#include <QCoro/QCoroTask>

namespace nimbra {

class PlaylistsStore;

// The tracks of one of the listener's playlists, in the playlist's order.
// Its title is the one the playlists list shows. A failed load shows its
// text with a retry, "Пусто" only an answer without tracks; without a token
// nothing is asked.
class PlaylistDetailModel : public nimbra::TrackListModel
{
    Q_OBJECT
    // Setting it loads.
    Q_PROPERTY(QString playlistId READ playlistId WRITE setPlaylistId NOTIFY playlistIdChanged)
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)

public:
    explicit PlaylistDetailModel(QObject *parent = nullptr);
    PlaylistDetailModel(TrackStores stores, PlaylistsStore *playlists, NimbraApi api, QObject *parent = nullptr);
    ~PlaylistDetailModel() override;

    QString playlistId() const { return m_playlistId; }
    void setPlaylistId(const QString &id);
    QString title() const { return m_title; }

    void reload() override;
    // The whole playlist from its first track.
    Q_INVOKABLE void playAll();

signals:
    void playlistIdChanged();
    void titleChanged();

private:
    QCoro::Task<void> load(QString id, QString token, CancelToken cancel);
    void setTitle(const QString &title);

    QPointer<PlaylistsStore> m_playlists;
    NimbraApi m_api;
    QString m_playlistId;
    QString m_title;
    TaskSlot m_task;
};

} // namespace nimbra
