#include "mprisprobe.h"

#include "eventloop.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace nimbra::test {

namespace {

QDBusConnection desktopConnection()
{
    const QString name = u"mpris-probe"_s;
    QDBusConnection connection(name);
    if (connection.isConnected())
        return connection;
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
}

} // namespace

MprisProbe::MprisProbe(QString serviceName) : m_serviceName(std::move(serviceName)) { }

QVariant MprisProbe::property(const QString &name, const QString &interface) const
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        m_serviceName, u"/org/mpris/MediaPlayer2"_s, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    get << interface << name;
    QDBusPendingCall call = desktopConnection().asyncCall(get);
    QDBusPendingCallWatcher watcher(call);
    QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
    if (!call.isFinished() && !finished.wait(kEventLimitMs))
        return {};
    const QDBusMessage reply = call.reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QVariantMap MprisProbe::metadata() const
{
    const QVariant value = property(u"Metadata"_s);
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

} // namespace nimbra::test
