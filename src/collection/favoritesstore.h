#pragma once

#include "collection/trackrequests.h"
#include "api/nimbraapi.h"
#include "api/trackout.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

class Session;

// Adds a track to the signed-in listener's favourites or removes it, by
// what the caller's copy of the track says, and hands back the changed
// copy; every holder of that track replaces its copy by id (trackChanged).
// Keeps no tracks. Main thread only.
class FavoritesStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    // session: whose token the requests carry; it must outlive the store.
    explicit FavoritesStore(Session *session, QObject *parent = nullptr);

    // The message of the last failed toggle; cleared as the next one starts.
    const std::optional<QString> &error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }

    // The copy of track with the favourite flag turned over, or absent when
    // the service refused or could not be reached.
    // While a request for the same track runs, nothing is sent and the
    // result is absent without a message.
    QCoro::Task<std::optional<TrackOut>> toggleAsync(TrackOut track);

signals:
    void errorTextChanged();
    // A toggle succeeded: the changed copy for every list that shows it.
    void trackChanged(const nimbra::TrackOut &track);

private:
    // The session ended: its requests go, and so does its last message.
    void sessionEnded();
    void setError(std::optional<QString> message);

    QPointer<Session> m_session;
    NimbraApi m_api;
    std::optional<QString> m_error;
    TrackRequests m_requests;
};

} // namespace nimbra
