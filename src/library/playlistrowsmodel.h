#pragma once

#include "api/accountrecords.h"
#include "collection/playlistsstore.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QSet>

#include <QCoro/QCoroTask>

namespace nimbra {

class Session;

// The listener's playlists as rows of a list, in the store's order, and
// the "Новый плейлист" prompt's create step. A playlist whose count changed
// updates its row only; another list resets. The playlists screen and the
// add-to-playlist sheet each show it with their own count line and what a
// created playlist leads to.
class PlaylistRowsModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    // No token and profile: a screen shows its sign-in text instead.
    Q_PROPERTY(bool needsSignIn READ needsSignIn NOTIFY needsSignInChanged)
    Q_PROPERTY(bool isCreating READ isCreating NOTIFY createStateChanged)
    // Why the last create (or create-and-add) failed; empty otherwise.
    Q_PROPERTY(QString createError READ createError NOTIFY createStateChanged)
    // How many creates from this model succeeded (a prompt closes on a change).
    Q_PROPERTY(int createdCount READ createdCount NOTIFY createStateChanged)

public:
    enum Role { PlaylistIdRole = Qt::UserRole + 1, TitleRole, TrackCountRole, CountTextRole, IsAddingRole, IsAddedRole };
    Q_ENUM(Role)

    PlaylistRowsModel(PlaylistsStore *store, Session *session, QObject *parent = nullptr);
    ~PlaylistRowsModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_rows.size()); }
    PlaylistOut playlistAt(int row) const;
    bool isLoading() const;
    bool needsSignIn() const;
    bool isCreating() const { return m_creating; }
    QString createError() const { return m_createError; }
    int createdCount() const { return m_createdCount; }

    // The title stripped of spaces and tabs at both ends (line breaks stay).
    static QString trimmedTitle(const QString &title);
    Q_INVOKABLE bool canCreate(const QString &title) const { return !trimmedTitle(title).isEmpty(); }
    // Creates a playlist under the trimmed title; it stands first. The
    // outcome comes as createFinished; a failure leaves its text in
    // createError and the prompt may send it again. Sent again, a title
    // whose playlist was made but whose follow-up failed only repeats the
    // follow-up; one whose create went unanswered is first looked up in a
    // fresh list, so that a playlist the service made is not made twice.
    Q_INVOKABLE void create(const QString &title);
    // A fresh prompt: no error from the one before.
    Q_INVOKABLE void clearCreateError();

signals:
    void countChanged();
    void isLoadingChanged();
    void needsSignInChanged();
    void createStateChanged();
    void createFinished(bool succeeded);

protected:
    virtual QString countText(qint64 trackCount) const = 0;
    // The sheet's marks of a row: a request in flight, the track added.
    virtual bool isAdding(const QString &) const { return false; }
    virtual bool isAdded(const QString &) const { return false; }
    // What a created playlist leads to; true when that succeeded too.
    virtual QCoro::Task<bool> afterCreate(PlaylistOut created);
    PlaylistsStore *store() const { return m_store; }
    Session *session() const { return m_session; }
    // Says that the row of the playlist id changed.
    void rowChanged(const QString &id);
    // The playlist got what a create was to lead to by another way (its
    // row): "Создать" with that title makes a new playlist again.
    void followUpDone(const QString &playlistId);

private:
    // A create whose outcome is unknown: the title and the ids of the
    // playlists of that title that stood before it.
    struct UnansweredCreate
    {
        QString title;
        QSet<QString> earlierIds;
    };
    // A playlist made here whose follow-up failed, by the title typed.
    struct UnfinishedCreate
    {
        QString title;
        PlaylistOut playlist;
    };

    QCoro::Task<void> createTask(QString title);
    // The playlist of the title: created, or found after an unanswered create.
    QCoro::Task<std::optional<PlaylistOut>> createOnce(QString title);
    QSet<QString> idsTitled(const QString &title) const;
    void syncRows();
    void setCreateState(bool creating, const QString &error);

    QPointer<PlaylistsStore> m_store;
    QPointer<Session> m_session;
    QList<PlaylistOut> m_rows;
    bool m_creating = false;
    QString m_createError;
    int m_createdCount = 0;
    std::optional<UnansweredCreate> m_unanswered;
    std::optional<UnfinishedCreate> m_unfinished;
};

} // namespace nimbra
