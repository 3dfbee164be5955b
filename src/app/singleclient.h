#pragma once

#include <QDBusContext>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class QWindow;

namespace nimbra {

// One client per desktop session. The client has one window, and two of
// them would play at once and write the same settings, caches and offline
// copies. The first client owns the desktop id as its name on the session
// bus and serves org.freedesktop.Application there (the object path is the
// id with its dots as slashes); a later launch finds the name owned, asks
// that client to bring its window forward and ends. The bus settles two
// launches at once: the name goes to one of them only.
class SingleClient : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    enum class Claim {
        // This process is the client of the session (or there is no session
        // bus to ask, and it runs as a client always did).
        Run,
        // The running client brought its window forward: end here.
        HandedOver,
        // A client holds the name but neither answers nor goes away.
        Unanswered,
    };

    explicit SingleClient(QObject *parent = nullptr);
    ~SingleClient() override;

    // Called before anything reads or writes the listener's data. The
    // platform data goes with the hand-over (the launch's activation token,
    // which lets a Wayland compositor raise the other window).
    Claim claim(const QVariantMap &platformData);
    // The process id of the client that holds the name, once claim() met one.
    uint holderPid() const { return m_holderPid; }

    // The window that Activate brings forward, once it exists.
    void serve(QWindow *window);

    // The launch's own activation token, read before the window system's
    // connection may take it from the environment.
    static QVariantMap launchPlatformData();

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    // The client opens no files and has no actions: refused.
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    Q_SCRIPTABLE void ActivateAction(
        const QString &name, const QVariantList &parameter, const QVariantMap &platformData);

private:
    bool handOver(const QVariantMap &platformData, int remainingMs);
    bool waitForHolderToLeave(int remainingMs);
    void bringForward();

    QPointer<QWindow> m_window;
    bool m_serving = false;
    bool m_askedBeforeWindow = false;
    bool m_registered = false;
    uint m_holderPid = 0;
};

} // namespace nimbra
