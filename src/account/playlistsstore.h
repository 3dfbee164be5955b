#pragma once

#include "api/accountrecords.h"
#include "api/canceltoken.h"
#include "api/nimbraapi.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// The signed-in listener's playlists: loads them, creates one (it stands
// first) and adds a track to one (its count goes up by one without a
// reload).
//
// The list belongs to one session: setToken() is told every change of the
// sign-in token, and a change (sign-out, another account) empties the list
// and drops whatever was still on its way for the former session, so that
// one listener's private playlists are never shown to the next.
// Main thread only.
class PlaylistsStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList playlists READ playlistsList NOTIFY playlistsChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)

public:
    explicit PlaylistsStore(QObject *parent = nullptr);

    // In the service's order, those created here first.
    const QList<PlaylistOut> &playlists() const { return m_playlists; }
    QVariantList playlistsList() const;
    bool isLoading() const { return m_loading; }
    // The message of the last failed request. Only load() clears it as it
    // starts; create() and addTrack() only ever set it.
    const std::optional<QString> &lastError() const { return m_lastError; }
    QString lastErrorText() const { return m_lastError.value_or(QString()); }

    // The sign-in token of the session (absent: signed out).
    void setToken(std::optional<QString> token);

    QCoro::Task<void> loadAsync(QString token);
    // The created playlist, or absent on failure.
    QCoro::Task<std::optional<PlaylistOut>> createAsync(QString title, QString token);
    // True when the service accepted the track, whether or not the
    // playlist is in the list.
    QCoro::Task<bool> addTrackAsync(QString trackID, QString playlistID, QString token);

    Q_INVOKABLE void load(QString token);
    // The outcome comes as createFinished.
    Q_INVOKABLE void create(QString title, QString token);
    // The outcome comes as addTrackFinished.
    Q_INVOKABLE void addTrack(QString trackID, QString playlistID, QString token);

signals:
    void playlistsChanged();
    void isLoadingChanged();
    void lastErrorChanged();
    // The created playlist as a map (the record's field names), or a null
    // QVariant when it failed.
    void createFinished(QString title, QVariant playlist);
    void addTrackFinished(QString trackID, QString playlistID, bool accepted);

private:
    void setPlaylists(QList<PlaylistOut> playlists);
    void setLoading(bool loading);
    void setLastError(std::optional<QString> message);

    NimbraAPI m_api;
    QList<PlaylistOut> m_playlists;
    bool m_loading = false;
    std::optional<QString> m_lastError;
    std::optional<QString> m_token;
    // Cancelled when the session's token changes; every request carries it.
    CancelToken m_session;
};

} // namespace nimbra
