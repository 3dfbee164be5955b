#pragma once

#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace nimbra::test {

// A session bus of a test's own, for the real client it launches. ctest runs
// the tests side by side on the suite's one session bus, where a client
// launched by one test would find another test's client and hand over to it.
// The bus starts no services by name (no keyring): what the client asks of
// such a service fails at once. It ends when the object goes.
class PrivateBus : public QObject
{
    Q_OBJECT
public:
    PrivateBus();
    ~PrivateBus() override;

    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // The environment of a process that is to use this bus.
    QProcessEnvironment environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // The names owned on the bus now, as the desktop sees them.
    QStringList names() const;
    // Every name that was given an owner since the bus started, also those
    // gone again.
    QStringList namesTaken();

private Q_SLOTS:
    void nameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QString m_connection;
    QStringList m_taken;
};

} // namespace nimbra::test
