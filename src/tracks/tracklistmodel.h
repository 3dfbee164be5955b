#pragma once

#include "api/trackout.h"
#include "tracks/loadstate.h"
#include "tracks/trackrows.h"
#include "tracks/trackstores.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <functional>

namespace nimbra {

class TrackActions;

// A list of tracks as QML shows it: one row per record, roles from one
// table, the playing row marked, and the row's actions done in C++ with the
// real record. A changed record replaces its row by id (dataChanged for that
// row only); a favourite or rating changed anywhere reaches every live list.
// Also carries the list screens' one load state.
class TrackListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY loadStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY loadStateChanged)
    Q_PROPERTY(QString signInPrompt READ signInPrompt WRITE setSignInPrompt NOTIFY signInPromptChanged)
    // The alert's title: "Нужен вход", or "Ошибка" for a failed request.
    Q_PROPERTY(QString promptTitle READ promptTitle NOTIFY signInPromptChanged)

public:
    enum Role {
        TrackIdRole = Qt::UserRole + 1,
        TitleRole,
        ArtistRole,
        CoverUrlRole,
        DurationSecondsRole,
        DurationTextRole,
        IsFavoriteRole,
        UserRatingRole,
        IsDislikedRole,
        IsHiFiRole,
        IsCurrentRole,
        AlbumIdRole,
        TrackNumberRole,
    };
    Q_ENUM(Role)

    // Takes the registered stores.
    explicit TrackListModel(QObject *parent = nullptr);
    explicit TrackListModel(TrackStores stores, QObject *parent = nullptr);
    ~TrackListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_tracks.size()); }
    // Every row's record, made whole.
    QList<TrackOut> tracks() const { return m_tracks.all(); }
    // The record of row; a default one outside the list.
    TrackOut trackAt(int row) const;
    // The first row showing id, or -1.
    int rowOf(const QString &id) const;

    // A new list: one reset.
    void setTracks(QList<TrackOut> tracks);
    void append(const QList<TrackOut> &tracks);
    // Replaces every row showing track's id; true when one did.
    bool replaceById(const TrackOut &track);
    // Removes every row showing id, the others keeping their order.
    void removeById(const QString &id);

    LoadState loadState() const { return m_loadState; }
    int loadStateValue() const { return m_loadState.state; }
    QString errorText() const { return m_loadState.errorText; }
    bool isLoading() const { return m_loadState.state == LoadState::Loading; }
    void setLoadState(LoadState state);

    QString signInPrompt() const;
    void setSignInPrompt(const QString &text);
    QString promptTitle() const;
    // A failed heart or dislike: the list shows its text in place of its
    // rows, under "Ошибка", instead of in the alert.
    void showActionFailuresInList();
    // ... or whoever shows the list does (a screen with one error view).
    void setActionFailureHandler(std::function<void(const QString &text)> handler);

    // The pointer is on a row: a press may follow, for which the player
    // readies its output.
    Q_INVOKABLE void pointerOnRow();
    // Plays the row within the whole loaded list.
    Q_INVOKABLE void play(int row);
    // Plays the row and opens the full-screen player.
    Q_INVOKABLE void playAndOpen(int row);
    // A list whose heart means something else (the favourites) overrides it.
    Q_INVOKABLE virtual void toggleFavorite(int row);
    Q_INVOKABLE void toggleDislike(int row);
    // Loads the list again (a list that loads itself overrides it).
    Q_INVOKABLE virtual void reload() { }
    Q_INVOKABLE void retry() { reload(); }


signals:
    void countChanged();
    void loadStateChanged();
    void errorTextChanged();
    void signInPromptChanged();

protected:
    TrackStores stores() const { return m_stores; }

private:
    void followCurrentTrack();
    void markCurrent(const QString &id);

    TrackStores m_stores;
    TrackActions *m_actions = nullptr;
    std::function<void(const QString &text)> m_failureHandler;
    TrackRows m_tracks;
    QString m_currentId;
    LoadState m_loadState;
};

} // namespace nimbra
