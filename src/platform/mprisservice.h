#pragma once

#include "platform/desktopidentity.h"
#include "platform/nowplayinginfo.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace nimbra {

class MprisPlayerAdaptor;

// The player as the desktop sees it over MPRIS: the object
// /org/mpris/MediaPlayer2 with the MediaPlayer2 and MediaPlayer2.Player
// interfaces, published on the session bus. It shows what it is given with
// setState() and turns the desktop's commands into signals; it decides
// nothing about playback itself. Main thread only.
class MprisService : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *objectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char *baseServiceName = "org.mpris.MediaPlayer2.nimbra";
    static constexpr const char *identity = "Nimbra";
    static constexpr const char *desktopEntry = desktopId;

    // Publishes a new player on the session bus; null when there is no bus
    // or this connection already publishes one.
    static MprisService *publish(QObject *parent = nullptr);
    ~MprisService() override;

    // The bus name taken: the base name, or the base name with
    // ".instance<pid>" when another process holds it.
    QString serviceName() const { return m_serviceName; }

    // Announces whatever the desktop can see change. The position itself is
    // read on request; a jump in it is announced as Seeked.
    void setState(const std::optional<NowPlayingInfo> &info, bool canSkip);

    // The track's object path in the metadata: ids are free text, object
    // path elements are not, so every other character is hex-escaped.
    static QDBusObjectPath trackPath(const QString &trackId);

    // Property values, as the adaptors report them.
    QVariantMap metadata() const;
    QString playbackStatus() const;
    qint64 position() const;
    bool canSkip() const { return m_canSkip; }
    bool hasTrack() const { return m_info.has_value(); }

    // The desktop's commands, checked against the state shown.
    void requestNext();
    void requestPrevious();
    void requestSeek(qint64 offset);
    void requestSetPosition(const QDBusObjectPath &trackId, qint64 position);

signals:
    void playRequested();
    void pauseRequested();
    void togglePlayPauseRequested();
    void nextRequested();
    void previousRequested();
    // An absolute position in seconds; never negative, nor past a length
    // shown (one not known yet does not limit it).
    void seekRequested(double seconds);

private:
    MprisService(QDBusConnection bus, QObject *parent);
    bool registerOnBus();
    bool isPastTheEnd(double seconds) const;
    void announce(const QStringList &names);

    QDBusConnection m_bus;
    MprisPlayerAdaptor *m_player = nullptr;
    QString m_serviceName;
    bool m_objectRegistered = false;
    std::optional<NowPlayingInfo> m_info;
    bool m_canSkip = false;
};

} // namespace nimbra
