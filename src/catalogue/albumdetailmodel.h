#pragma once

#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "tracks/tracklistmodel.h"

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

namespace nimbra {

// One album's page: its header (cover, title, credit, year) and its tracks
// in the service's order, each row playing within the whole album. The
// header comes from the record the opener held (AlbumDirectory), else from
// the service's album list. Loading again clears the last failure's text
// at once, so an old error never stands in front of a successful reload.
class AlbumDetailModel : public nimbra::TrackListModel
{
    Q_OBJECT
    Q_PROPERTY(QString albumId READ albumId WRITE setAlbumId NOTIFY albumChanged)
    Q_PROPERTY(QString title READ title NOTIFY albumChanged)
    Q_PROPERTY(QString artist READ artist NOTIFY albumChanged)
    Q_PROPERTY(QString yearText READ yearText NOTIFY albumChanged)
    Q_PROPERTY(QString coverUrl READ coverUrl NOTIFY albumChanged)

public:
    using Token = std::optional<QString>;
    struct Sources
    {
        std::function<QCoro::Task<QList<TrackOut>>(QString albumId, Token, CancelToken)> tracks;
        std::function<QCoro::Task<QList<AlbumOut>>(CancelToken)> albums;

        static Sources fromApi(const NimbraApi &api);
    };

    // The application's stores and the service (what QML creates).
    explicit AlbumDetailModel(QObject *parent = nullptr);
    AlbumDetailModel(Sources sources, TrackStores stores, QObject *parent = nullptr);
    ~AlbumDetailModel() override;

    QString albumId() const { return m_album.id; }
    // The album to show, by id; its record comes from the directory when
    // an opener left it there.
    void setAlbumId(const QString &id);
    void setAlbum(const AlbumOut &album);
    const AlbumOut &album() const { return m_album; }

    QString title() const { return m_album.title; }
    QString artist() const { return m_album.artist; }
    QString yearText() const;
    QString coverUrl() const;

    // Asks for the album's tracks (and its record, when unknown).
    void reload() override;
    // The big cover: the album from its first track, in the full-screen
    // player; nothing while there are no tracks.
    Q_INVOKABLE void playAlbum();

signals:
    void albumChanged();

private:
    QCoro::Task<void> load(AlbumOut album, bool needsRecord, CancelToken cancel);

    Sources m_sources;
    TaskSlot m_task;
    AlbumOut m_album;
    bool m_knowsRecord = false;
};

} // namespace nimbra
