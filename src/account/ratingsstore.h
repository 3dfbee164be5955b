#pragma once

#include "api/nimbraapi.h"
#include "api/trackout.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// Sends a rating for a track and hands back the copy of the track with the
// rating the service now holds (the player sends "dislike"; whether that
// sets, replaces or takes the rating away is the service's decision).
// Keeps no tracks. Main thread only.
class RatingsStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)

public:
    explicit RatingsStore(QObject *parent = nullptr);

    // The message of the last failed toggle; cleared as the next one starts.
    const std::optional<QString> &lastError() const { return m_lastError; }
    QString lastErrorText() const { return m_lastError.value_or(QString()); }

    // The copy of track with the service's answer as its rating (none when
    // the answer has no type), or absent on failure.
    QCoro::Task<std::optional<TrackOut>> toggleAsync(TrackOut track, QString type, QString token);
    // track: a TrackOut in a QVariant; the outcome comes as toggleFinished.
    Q_INVOKABLE void toggle(QVariant track, QString type, QString token);

signals:
    void lastErrorChanged();
    // After every toggle: the changed TrackOut in a QVariant, or a null
    // QVariant when it failed.
    void toggleFinished(QString trackId, QVariant track);

private:
    void setLastError(std::optional<QString> message);

    NimbraAPI m_api;
    std::optional<QString> m_lastError;
};

} // namespace nimbra
