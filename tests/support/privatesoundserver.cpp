#include "privatesoundserver.h"

#include "testenv.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace nimbra::test {

PrivateSoundServer::PrivateSoundServer()
{
    if (!m_dir.isValid())
        return;
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socket = m_dir.filePath(QStringLiteral("native"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A runtime folder of its own for its lock; off the session bus, where
    // the shared server holds the name a second one would ask for.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("PULSE_SERVER"));
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.setStandardOutputFile(QProcess::nullDevice());
    // A test that crashes takes its server along.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.start(QStringLiteral("pulseaudio"),
        {QStringLiteral("--daemonize=no"), QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
            QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
            QStringLiteral("--load=module-null-sink sink_name=own_null"),
            QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    if (!m_server.waitForStarted(kEventLimitMs))
        return;
    qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    // Up once it answers; on a busy machine that can take a while.
    const QDeadlineTimer deadline(kEventLimitMs);
    while (!deadline.hasExpired() && m_server.state() == QProcess::Running) {
        if (soundServerAnswers()) {
            m_running = true;
            return;
        }
        QThread::msleep(50);
    }
}

PrivateSoundServer::~PrivateSoundServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(kEventLimitMs))
            m_server.kill();
    }
}

} // namespace nimbra::test
