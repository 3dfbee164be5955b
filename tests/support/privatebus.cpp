#include "privatebus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>

namespace nimbra::test {

PrivateBus::PrivateBus()
{
    QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
    if (!m_folder.isValid() || !config.open(QIODevice::WriteOnly))
        return;
    config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <!-- The session bus's own policy: a bus without it blocks answers. -->
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(m_folder.path())
                     .toUtf8());
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--nofork"), QStringLiteral("--print-address"), QStringLiteral("--config-file"),
            config.fileName()});
    QByteArray line;
    while (!line.contains('\n') && m_daemon.waitForReadyRead(kEventLimitMs))
        line += m_daemon.readAllStandardOutput();
    m_address = QString::fromUtf8(line).trimmed();
    m_connection = QStringLiteral("nimbra-private-bus-") + m_address;
    QDBusConnection::connectToBus(m_address, m_connection)
        .connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
            SLOT(nameOwnerChanged(QString, QString, QString)));
}

PrivateBus::~PrivateBus()
{
    if (!m_connection.isEmpty())
        QDBusConnection::disconnectFromBus(m_connection);
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    m_daemon.waitForFinished(kEventLimitMs);
}

QProcessEnvironment PrivateBus::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return base;
}

QStringList PrivateBus::namesTaken()
{
    // The bus told every change before it answers this, and the changes
    // wait in this thread's queue.
    names();
    QCoreApplication::sendPostedEvents();
    return m_taken;
}

void PrivateBus::nameOwnerChanged(const QString &name, const QString &, const QString &newOwner)
{
    if (!newOwner.isEmpty() && !name.startsWith(u':'))
        m_taken << name;
}

QStringList PrivateBus::names() const
{
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_connection);
    return bus.isConnected() ? bus.interface()->registeredServiceNames().value() : QStringList();
}

} // namespace nimbra::test
