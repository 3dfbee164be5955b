#pragma once

#include "api/nimbraapi.h"
#include "api/trackout.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// Adds a track to the signed-in listener's favourites or removes it, by
// what the caller's copy of the track says, and hands back the changed
// copy; the caller replaces its own copy by id. Keeps no tracks. Main
// thread only.
class FavoritesStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)

public:
    explicit FavoritesStore(QObject *parent = nullptr);

    // The message of the last failed toggle; cleared as the next one starts.
    const std::optional<QString> &lastError() const { return m_lastError; }
    QString lastErrorText() const { return m_lastError.value_or(QString()); }

    // The copy of track with the favourite flag turned over, or absent when
    // the service refused or could not be reached.
    QCoro::Task<std::optional<TrackOut>> toggleAsync(TrackOut track, QString token);
    // track: a TrackOut in a QVariant; the outcome comes as toggleFinished.
    Q_INVOKABLE void toggle(QVariant track, QString token);

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
