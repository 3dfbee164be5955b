#pragma once

#include "api/accountrecords.h"
#include "api/canceltoken.h"
#include "api/nimbraapi.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

class Session;

// The signed-in listener's playlists: loads them, creates one (it stands
// first) and adds a track to one (its count becomes the one the service's
// answer gives, without a reload; one higher when the answer gives none).
//
// The requests carry the session's token; without one nothing is sent. The
// list belongs to one session: a change of token (sign-out, another account)
// empties it and drops whatever was still on its way for the former session,
// so that one listener's private playlists are never shown to the next.
// Main thread only.
class PlaylistsStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(QString loadError READ loadError NOTIFY loadStateChanged)
    Q_PROPERTY(bool hasLoaded READ hasLoaded NOTIFY loadStateChanged)

public:
    // session: whose token the requests carry; it must outlive the store.
    explicit PlaylistsStore(Session *session, QObject *parent = nullptr);

    // In the service's order, those created here first.
    const QList<PlaylistOut> &playlists() const { return m_playlists; }
    bool isLoading() const { return m_loading; }
    // The message of the last failed request. Only load() clears it as it
    // starts; create() and addTrack() only ever set it.
    const std::optional<QString> &error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }
    // Why the last load failed; empty once one succeeds. Only a load sets it,
    // so a screen tells a failed list from an empty one.
    QString loadError() const { return m_loadError; }
    // A load of this session succeeded: an empty list is the listener's own.
    bool hasLoaded() const { return m_hasLoaded; }

    // Without a token of the session each of these sends nothing: load()
    // changes nothing, create() gives absent, addTrack() false.
    QCoro::Task<void> loadAsync();
    // The created playlist, or absent on failure.
    QCoro::Task<std::optional<PlaylistOut>> createAsync(QString title);
    // True when the service accepted the track, whether or not the
    // playlist is in the list.
    QCoro::Task<bool> addTrackAsync(QString trackId, QString playlistId);

    Q_INVOKABLE void load();
    // The outcome comes as createFinished.
    Q_INVOKABLE void create(QString title);
    // The outcome comes as addTrackFinished.
    Q_INVOKABLE void addTrack(QString trackId, QString playlistId);

signals:
    void playlistsChanged();
    void isLoadingChanged();
    void errorTextChanged();
    void loadStateChanged();
    // The created PlaylistOut, or a null QVariant when it failed.
    void createFinished(QString title, QVariant playlist);
    void addTrackFinished(QString trackId, QString playlistId, bool accepted);

private:
    // The session's token changed: the former session's list and requests go.
    void sessionChanged();
    std::optional<QString> token() const;
    void setPlaylists(QList<PlaylistOut> playlists);
    void setLoading(bool loading);
    void setError(std::optional<QString> message);
    void setLoadOutcome(bool loaded, const QString &error);

    QPointer<Session> m_session;
    NimbraApi m_api;
    QList<PlaylistOut> m_playlists;
    bool m_loading = false;
    std::optional<QString> m_error;
    QString m_loadError;
    bool m_hasLoaded = false;
};

} // namespace nimbra
