#pragma once

#include "account/authstore.h"
#include "api/clock.h"
#include "api/canceltoken.h"

#include <QObject>
#include <QPointer>

#include <QCoro/QCoroTask>

#include <chrono>

namespace nimbra {

// What the window shows: the launch screen, the sign-in screen or the main
// window. A listener with a saved token never sees the sign-in form while
// that token may still be good: the launch screen stands until the profile
// answers. When the service cannot be reached or fails, the token is kept,
// the launch screen says so, offers a retry and a way to another account,
// and tries again by itself after a growing pause and when the network
// comes back. Only a refused token leads to the sign-in screen.
//
// A keyring that is slow to answer (a locked one may be waiting for its
// password) is waited for as long as it takes, and so is a service that
// holds the first profile request: after a few seconds the launch screen
// says what it waits for, and while it waits for the service it offers the
// way to another account too. The answer, whenever it comes, decides as it
// would have at once, unless the listener has gone to another account: then
// it is dropped. A read that fails leads to the sign-in screen with a
// notice that the saved sign-in could not be read.
//
// It also carries the one-time notice that a sign-in could not be saved
// on this computer (no secret service).
class RootViewModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Screen screen READ screen NOTIFY screenChanged)
    Q_PROPERTY(bool isOffline READ isOffline NOTIFY launchStateChanged)
    Q_PROPERTY(bool isRetrying READ isRetrying NOTIFY launchStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool showsUnsavedNotice READ showsUnsavedNotice NOTIFY unsavedNoticeChanged)
    Q_PROPERTY(bool isWaitingForKeyring READ isWaitingForKeyring NOTIFY launchStateChanged)
    Q_PROPERTY(bool isWaitingForService READ isWaitingForService NOTIFY launchStateChanged)
    Q_PROPERTY(bool showsUnreadNotice READ showsUnreadNotice NOTIFY unreadNoticeChanged)

public:
    enum class Screen { Launch, SignIn, Main };
    Q_ENUM(Screen)

    static constexpr std::chrono::milliseconds firstRetryDelay {3000};
    static constexpr std::chrono::milliseconds longestRetryDelay {60000};
    // How long the keyring may take before the launch screen says so.
    static constexpr std::chrono::milliseconds keyringNoticeDelay {3000};
    // How long the saved token's first profile request may take before the
    // launch screen says so.
    static constexpr std::chrono::milliseconds serviceNoticeDelay {3000};
    // The pause before the automatic retry that follows the given number
    // of failures in a row (1 and up): doubling, capped at a minute.
    static std::chrono::milliseconds retryDelay(int failures);

    explicit RootViewModel(QObject *parent = nullptr);
    ~RootViewModel() override;

    AuthStore *auth() const { return m_auth; }
    Screen screen() const { return m_screen; }

    // The saved token's profile could not be fetched; a retry is waiting.
    bool isOffline() const { return m_phase == Phase::Offline || (m_phase == Phase::Restoring && m_failures > 0); }
    // A retry's request is under way.
    bool isRetrying() const { return m_phase == Phase::Restoring && m_failures > 0; }
    QString errorText() const { return m_errorText; }
    bool showsUnsavedNotice() const { return m_unsavedNotice; }
    // The saved token is still being read, past keyringNoticeDelay.
    bool isWaitingForKeyring() const { return m_phase == Phase::Reading && m_slow; }
    // The saved token's first profile request is under way, past
    // serviceNoticeDelay. A retry's shows as offline instead.
    bool isWaitingForService() const { return isFirstRequest() && m_slow; }
    bool showsUnreadNotice() const { return m_unreadNotice; }

    // The pause between automatic retries and the waits before the launch
    // screen says what it waits for; tests hand in their own.
    void setClock(Clock *clock);

    // "Повторить": tries at once instead of at the end of the pause.
    Q_INVOKABLE void retry();
    // Leaves the saved token alone and opens the sign-in screen; a profile
    // request under way is aborted, and an answer to it changes nothing.
    Q_INVOKABLE void signInWithAnotherAccount();
    Q_INVOKABLE void dismissUnsavedNotice();
    Q_INVOKABLE void dismissUnreadNotice();
    // The desktop reports the network as reachable again.
    void networkReachable();

signals:
    void screenChanged();
    void launchStateChanged();
    void errorTextChanged();
    void unsavedNoticeChanged();
    void unreadNoticeChanged();

private:
    // Reading: the keychain has not answered. Restoring: a profile request
    // of the saved token is under way. Offline: waiting to try again.
    // Settled: the session no longer depends on the saved token.
    enum class Phase { Reading, Restoring, Offline, Settled };

    void onTokenLoaded();
    void updateScreen();
    void setPhase(Phase phase);
    void watchNetwork();
    bool isFirstRequest() const { return m_phase == Phase::Restoring && m_failures == 0; }
    // The keychain's read or the first profile request is under way: what
    // the launch screen names once it has lasted a while.
    bool isWaitNoticed() const { return m_phase == Phase::Reading || isFirstRequest(); }
    // (Re)starts the wait for the phase now under way, or ends it; true
    // when the screen said it was waiting until now.
    bool restartSlownessWait();
    QCoro::Task<void> noticeSlowness(Clock *clock, CancelToken cancel);
    QCoro::Task<void> restoreSavedSession(QString token, CancelToken cancel);
    void setUnreadNotice(bool shown);

    QPointer<AuthStore> m_auth;
    Screen m_screen = Screen::Launch;
    Phase m_phase = Phase::Reading;
    int m_failures = 0;
    QString m_errorText;
    bool m_unsavedNotice = false;
    bool m_unsavedNoticeGiven = false;
    // The keychain or the first profile request has taken longer than
    // its notice delay.
    bool m_slow = false;
    bool m_unreadNotice = false;
    bool m_watchingNetwork = false;
    Clock *m_clock = Clock::system();
    TaskSlot m_restore;
    TaskSlot m_pause;
    TaskSlot m_slowWait;
};

} // namespace nimbra
