#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace nimbra::test {

// Reads the MPRIS player of this process as the desktop does: over a bus
// connection of its own, asynchronously, so that the player in this process
// can answer meanwhile. serviceName: the name the player was published under.
class MprisProbe
{
public:
    explicit MprisProbe(QString serviceName);

    // A property of the player's interface (or of another one of its
    // object); invalid when there was no answer.
    QVariant property(const QString &name,
        const QString &interface = QStringLiteral("org.mpris.MediaPlayer2.Player")) const;
    QString playbackStatus() const { return property(QStringLiteral("PlaybackStatus")).toString(); }
    QVariantMap metadata() const;

private:
    QString m_serviceName;
};

} // namespace nimbra::test
