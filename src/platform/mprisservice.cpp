#include "platform/mprisservice.h"

#include "platform/mprisplayeradaptor.h"
#include "platform/mprisrootadaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

const QString playerInterface = u"org.mpris.MediaPlayer2.Player"_s;

// A change of position by more than this between two pushes is not
// playback going on but a seek (or a restart of the same track).
constexpr double seekTolerance = 1.0;

qint64 microseconds(double seconds)
{
    if (std::isnan(seconds) || seconds <= 0)
        return 0;
    const double us = seconds * 1e6;
    // Doubles this large no longer fit the 64-bit count.
    if (us >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    return std::llround(us);
}

QString statusOf(const std::optional<NowPlayingInfo> &info)
{
    if (!info)
        return u"Stopped"_s;
    return info->rate > 0 ? u"Playing"_s : u"Paused"_s;
}

bool sameMetadata(const std::optional<NowPlayingInfo> &a, const std::optional<NowPlayingInfo> &b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return a->trackId == b->trackId && a->title == b->title && a->artist == b->artist
        && microseconds(a->duration) == microseconds(b->duration) && a->artworkUrl == b->artworkUrl;
}

} // namespace

MprisService::MprisService(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus))
{
    new MprisRootAdaptor(this);
    m_player = new MprisPlayerAdaptor(this);
}

MprisService *MprisService::publish(QObject *parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    auto *service = new MprisService(bus, parent);
    if (!service->registerOnBus()) {
        delete service;
        return nullptr;
    }
    return service;
}

MprisService::~MprisService()
{
    if (!m_serviceName.isEmpty())
        m_bus.unregisterService(m_serviceName);
    if (m_objectRegistered)
        m_bus.unregisterObject(QLatin1StringView(objectPath));
}

bool MprisService::registerOnBus()
{
    if (!m_bus.registerObject(QLatin1StringView(objectPath), this, QDBusConnection::ExportAdaptors))
        return false;
    m_objectRegistered = true;
    QDBusConnectionInterface *bus = m_bus.interface();
    if (!bus)
        return false;
    const QString base = QLatin1StringView(baseServiceName);
    const QString instance = base + u".instance"_s + QString::number(QCoreApplication::applicationPid());
    for (const QString &name : {base, instance}) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus->registerService(
            name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            m_serviceName = name;
            return true;
        }
    }
    return false;
}

void MprisService::setState(const std::optional<NowPlayingInfo> &info, bool canSkip)
{
    const std::optional<NowPlayingInfo> old = std::exchange(m_info, info);
    const bool oldCanSkip = std::exchange(m_canSkip, canSkip);

    // This runs on every tick of the player: compare fields, build maps
    // only for what did change.
    QStringList changed;
    if (!sameMetadata(old, m_info))
        changed.append(u"Metadata"_s);
    if (statusOf(old) != statusOf(m_info))
        changed.append(u"PlaybackStatus"_s);
    if (old.has_value() != m_info.has_value())
        changed.append({u"CanPlay"_s, u"CanPause"_s, u"CanSeek"_s});
    if (oldCanSkip != m_canSkip)
        changed.append({u"CanGoNext"_s, u"CanGoPrevious"_s});
    if (!changed.isEmpty())
        announce(changed);

    // Desktop panels advance the position on their own from the playback
    // status; only a jump has to be told.
    if (old && m_info && old->trackId == m_info->trackId && std::abs(m_info->elapsed - old->elapsed) > seekTolerance)
        emit m_player->Seeked(position());
}

void MprisService::announce(const QStringList &names)
{
    QVariantMap values;
    for (const QString &name : names) {
        if (name == "Metadata"_L1)
            values.insert(name, metadata());
        else if (name == "PlaybackStatus"_L1)
            values.insert(name, playbackStatus());
        else if (name.startsWith("CanGo"_L1))
            values.insert(name, m_canSkip);
        else
            values.insert(name, hasTrack());
    }
    // QtDBus does not tell property changes of adaptors by itself.
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1StringView(objectPath), u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    signal << playerInterface << values << QStringList();
    m_bus.send(signal);
}

QDBusObjectPath MprisService::trackPath(const QString &trackId)
{
    // "t" keeps the last element non-empty for an empty id; "_" escapes
    // itself, so distinct ids never share a path.
    QString element = u"t"_s;
    for (const char byte : trackId.toUtf8()) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            element.append(QLatin1Char(char(c)));
        else
            element.append(u"_%1"_s.arg(uint(c), 2, 16, QLatin1Char('0')));
    }
    return QDBusObjectPath(u"/app/nimbra/track/"_s + element);
}

QVariantMap MprisService::metadata() const
{
    if (!m_info)
        return {};
    QVariantMap map;
    map.insert(u"mpris:trackid"_s, QVariant::fromValue(trackPath(m_info->trackId)));
    map.insert(u"mpris:length"_s, microseconds(m_info->duration));
    map.insert(u"xesam:title"_s, m_info->title);
    map.insert(u"xesam:artist"_s, m_info->artist.isEmpty() ? QStringList() : QStringList {m_info->artist});
    if (!m_info->artworkUrl.isEmpty())
        map.insert(u"mpris:artUrl"_s, m_info->artworkUrl.toString(QUrl::FullyEncoded));
    return map;
}

QString MprisService::playbackStatus() const
{
    return statusOf(m_info);
}

qint64 MprisService::position() const
{
    return m_info ? microseconds(m_info->elapsed) : 0;
}

void MprisService::requestNext()
{
    if (m_canSkip)
        emit nextRequested();
}

void MprisService::requestPrevious()
{
    if (m_canSkip)
        emit previousRequested();
}

bool MprisService::isPastTheEnd(double seconds) const
{
    // A length of a second is shown while the real one is not known yet.
    return m_info && m_info->duration > 1.0 && seconds > m_info->duration;
}

void MprisService::requestSeek(qint64 offset)
{
    if (!m_info)
        return;
    // Relative to the position shown; before the start means the start,
    // past the end the next track, as the interface asks.
    const double target = double(position()) / 1e6 + double(offset) / 1e6;
    if (isPastTheEnd(target)) {
        requestNext();
        return;
    }
    emit seekRequested(target > 0 ? target : 0.0);
}

void MprisService::requestSetPosition(const QDBusObjectPath &trackId, qint64 position)
{
    // A request made for a track that has since been replaced is stale;
    // one outside the track is ignored, as the interface asks.
    const double target = double(position) / 1e6;
    if (!m_info || trackId != trackPath(m_info->trackId) || position < 0 || isPastTheEnd(target))
        return;
    emit seekRequested(target);
}

} // namespace nimbra
