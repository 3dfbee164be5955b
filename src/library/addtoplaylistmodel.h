#pragma once

#include "api/trackout.h"
#include "library/playlistrowsmodel.h"

#include <QSet>

namespace nimbra {

class TrackListModel;

// The add-to-playlist sheet for one track: the listener's playlists, each
// adding the track on a click ("12 треков" under each, whatever the
// count), and "Новый плейлист" creating one and adding the track to it in
// one step. Only one add from the rows runs at a time; the playlists that
// received the track while the sheet is open are marked. A failed add
// leaves its text in addError, and the same row can be clicked again.
class AddToPlaylistModel : public nimbra::PlaylistRowsModel
{
    Q_OBJECT
    Q_PROPERTY(QString trackId READ trackId NOTIFY trackChanged)
    // An add from the rows is in flight: every row is disabled.
    Q_PROPERTY(bool isAdding READ isAddingAny NOTIFY addStateChanged)
    Q_PROPERTY(QString addError READ addError NOTIFY addStateChanged)

public:
    explicit AddToPlaylistModel(QObject *parent = nullptr);
    AddToPlaylistModel(PlaylistsStore *store, Session *session, QObject *parent = nullptr);

    const TrackOut &track() const { return m_track; }
    QString trackId() const { return m_track.id; }
    void setTrack(const TrackOut &track);
    // A new presentation for the track of a row of a track list: no marks
    // or messages of the one before; the store loads when it holds no
    // playlist.
    Q_INVOKABLE void begin(nimbra::TrackListModel *list, int row);

    bool isAddingAny() const { return !m_addingTo.isEmpty(); }
    QString addError() const { return m_addError; }

    // The store loads when it holds no playlist (and a token is held).
    void start();
    Q_INVOKABLE void addTo(int row);

signals:
    void trackChanged();
    void addStateChanged();

protected:
    QString countText(qint64 trackCount) const override;
    bool isAdding(const QString &id) const override { return id == m_addingTo; }
    bool isAdded(const QString &id) const override { return m_added.contains(id); }
    QCoro::Task<bool> afterCreate(PlaylistOut created) override;

private:
    QCoro::Task<void> addTask(QString playlistId);
    void setAddState(const QString &addingTo, const QString &error);

    TrackOut m_track;
    QString m_addingTo;
    QString m_addError;
    QSet<QString> m_added;
};

} // namespace nimbra
