#include "singleclient.h"

#include "platform/desktopidentity.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// How long a launch waits for the running client: one still starting
// answers once its window is up (seconds on a loaded machine), one that is
// quitting lets go of the name once it has put everything away.
constexpr int handOverPatienceMs = 60000;

QString busName()
{
    return QString::fromLatin1(desktopId);
}

// The object path that org.freedesktop.Application gives the desktop id.
QString objectPath()
{
    return u"/"_s + busName().replace(u'.', u'/').replace(u'-', u'_');
}

} // namespace

SingleClient::SingleClient(QObject *parent) : QObject(parent) { }

SingleClient::~SingleClient()
{
    // The name stays until the process ends, so that no new client starts
    // while this one still writes its settings on the way out; calls that
    // come meanwhile are refused, and their launches wait for the name.
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(objectPath());
}

QVariantMap SingleClient::launchPlatformData()
{
    QVariantMap data;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        data.insert(u"activation-token"_s, QString::fromUtf8(token));
    return data;
}

SingleClient::Claim SingleClient::claim(const QVariantMap &platformData)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnectionInterface *names = bus.isConnected() ? bus.interface() : nullptr;
    if (!names)
        return Claim::Run;
    // Served before the name is taken: a call that finds the name finds the
    // object too (and waits for the event loop).
    m_registered = bus.registerObject(objectPath(), this, QDBusConnection::ExportScriptableSlots);
    const QDeadlineTimer patience(handOverPatienceMs);
    for (;;) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned = names->registerService(
            busName(), QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
        // A bus that will not give the name leaves the client as it is
        // without a bus.
        if (!owned.isValid() || owned.value() == QDBusConnectionInterface::ServiceRegistered)
            return Claim::Run;
        if (handOver(platformData, int(patience.remainingTime())))
            return Claim::HandedOver;
        // Refused or gone without an answer: a client on its way out. The
        // name is free again once it has gone, and this launch may take it.
        if (!waitForHolderToLeave(int(patience.remainingTime())))
            return Claim::Unanswered;
    }
}

bool SingleClient::handOver(const QVariantMap &platformData, int remainingMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusReply<uint> pid = bus.interface()->servicePid(busName());
    m_holderPid = pid.isValid() ? pid.value() : 0;
    QDBusMessage call
        = QDBusMessage::createMethodCall(busName(), objectPath(), u"org.freedesktop.Application"_s, u"Activate"_s);
    call << platformData;
    const QDBusMessage reply = bus.call(call, QDBus::Block, std::max(remainingMs, 1));
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool SingleClient::waitForHolderToLeave(int remainingMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusServiceWatcher watcher(busName(), bus, QDBusServiceWatcher::WatchForUnregistration);
    QEventLoop loop;
    bool left = false;
    connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, [&] {
        left = true;
        loop.quit();
    });
    QTimer::singleShot(std::max(remainingMs, 0), &loop, &QEventLoop::quit);
    // It may have gone before the watch began.
    const QDBusReply<bool> held = bus.interface()->isServiceRegistered(busName());
    if (held.isValid() && !held.value())
        return true;
    loop.exec();
    return left;
}

void SingleClient::serve(QWindow *window)
{
    m_window = window;
    m_serving = true;
    if (std::exchange(m_askedBeforeWindow, false) && m_window)
        bringForward();
}

void SingleClient::Activate(const QVariantMap &platformData)
{
    // The window is closed (the client quits when it is) or gone.
    if (m_serving && (!m_window || !m_window->isVisible())) {
        sendErrorReply(QDBusError::Failed, u"Nimbras is quitting"_s);
        return;
    }
    // What lets a Wayland compositor give the window the focus the launch
    // was meant to take.
    const QString token = platformData.value(u"activation-token"_s).toString();
    if (!token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    if (!m_serving) {
        m_askedBeforeWindow = true;
        return;
    }
    bringForward();
}

void SingleClient::Open(const QStringList &, const QVariantMap &)
{
    sendErrorReply(QDBusError::NotSupported, u"Nimbras opens no files"_s);
}

void SingleClient::ActivateAction(const QString &name, const QVariantList &, const QVariantMap &)
{
    sendErrorReply(QDBusError::NotSupported, u"Nimbras has no action '%1'"_s.arg(name));
}

void SingleClient::bringForward()
{
    m_window->setWindowStates(m_window->windowStates() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->requestActivate();
    // Good for this request only; a program the client starts later is no
    // launch of the listener's.
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

} // namespace nimbra
