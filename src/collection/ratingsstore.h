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

// Sends a rating for a track and hands back the copy of the track with the
// rating the service now holds (the player sends "dislike"; whether that
// sets, replaces or takes the rating away is the service's decision).
// Keeps no tracks. Main thread only.
class RatingsStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    // session: whose token the requests carry; it must outlive the store.
    explicit RatingsStore(Session *session, QObject *parent = nullptr);

    // The message of the last failed toggle; cleared as the next one starts.
    const std::optional<QString> &error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }

    // The copy of track with the service's answer as its rating (none when
    // the answer has no type), or absent on failure.
    // While a request for the same track runs, nothing is sent and the
    // result is absent without a message.
    QCoro::Task<std::optional<TrackOut>> toggleAsync(TrackOut track, QString type);

signals:
    void errorTextChanged();
    // A rating succeeded: the changed copy for every list that shows it.
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
