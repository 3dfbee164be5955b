#pragma once

#include "api/session.h"
#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "api/nimbraapi.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "tracks/loadstate.h"

#include <QAbstractListModel>
#include <QPointer>

#include <QCoroTask>

namespace nimbra {

// Behind the clips and battles screens: one page of up to 100 entries of
// the chosen source, the state the screen shows, and the press on a card
// that pauses the audio and starts the clip with the whole list as queue.
class ClipGridModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(Source source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(QString title READ title NOTIFY sourceChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY sourceChanged)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY sourceChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY stateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(int loadState READ loadState NOTIFY stateChanged)

public:
    enum class Source { Clips, Battles };
    Q_ENUM(Source)
    enum Role { ClipIdRole = Qt::UserRole + 1, TitleRole, ArtistRole, CoverUrlRole };

    static constexpr int pageSize = 100;

    explicit ClipGridModel(QObject *parent = nullptr);
    ~ClipGridModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Source source() const { return m_source; }
    void setSource(Source source);
    QString title() const;
    QString emptyTitle() const;
    QString emptySymbol() const;

    bool isLoading() const { return m_loading; }
    QString errorText() const { return m_error; }
    // The first case that holds: loading with nothing held, an error (which
    // covers a held list), an empty list, the grid. A reload of a held
    // list keeps the grid.
    LoadState::State loadState() const;
    const QList<ClipOut> &clips() const { return m_clips; }

    Session *session() const { return m_session; }
    PlayerStore *player() const { return m_player; }
    ClipPlayerStore *clipPlayer() const { return m_clipPlayer; }

    // Loads page 1 again; a load still running is replaced and writes nothing.
    Q_INVOKABLE void load();
    // Stops the running load; it writes nothing (the screen went away).
    Q_INVOKABLE void cancel();
    // The press on a card: the audio pauses, then the clip starts.
    Q_INVOKABLE void play(int row);

signals:
    void sourceChanged();
    void stateChanged();
    void errorTextChanged();

private:
    QCoro::Task<> loadAsync(CancelToken token);
    void setState(bool loading, const QString &error);

    Source m_source = Source::Clips;
    QList<ClipOut> m_clips;
    bool m_loading = false;
    bool m_answered = false; // a load has ended at least once
    QString m_error;
    QPointer<Session> m_session;
    QPointer<PlayerStore> m_player;
    QPointer<ClipPlayerStore> m_clipPlayer;
    NimbraApi m_api;
    TaskSlot m_load;
};

} // namespace nimbra
