#include "shell/rootviewmodel.h"

#include "account/keychainhelper.h"
#include "api/session.h"
#include "api/storeregistry.h"

#include <QNetworkInformation>

#include <utility>

namespace nimbra {

RootViewModel::RootViewModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_auth) {
        connect(m_auth, &AuthStore::canUseAppChanged, this, &RootViewModel::updateScreen);
        connect(m_auth, &AuthStore::tokenLoadedChanged, this, &RootViewModel::onTokenLoaded);
        connect(m_auth, &QObject::destroyed, this, &RootViewModel::updateScreen);
        if (KeychainHelper *keychain = m_auth->keychain()) {
            connect(keychain, &KeychainHelper::saveFailed, this, [this] {
                if (m_unsavedNoticeGiven)
                    return;
                m_unsavedNoticeGiven = true;
                m_unsavedNotice = true;
                emit unsavedNoticeChanged();
            });
            connect(keychain, &KeychainHelper::readFailed, this, [this] { setUnreadNotice(true); });
        }
    }
    if (m_auth && m_auth->isTokenLoaded()) {
        onTokenLoaded();
    } else {
        restartSlownessWait();
        updateScreen();
    }
}

RootViewModel::~RootViewModel() = default;

std::chrono::milliseconds RootViewModel::retryDelay(int failures)
{
    auto delay = firstRetryDelay;
    for (int i = 1; i < failures && delay < longestRetryDelay; ++i)
        delay *= 2;
    return std::min(delay, longestRetryDelay);
}

void RootViewModel::setClock(Clock *clock)
{
    m_clock = clock ? clock : Clock::system();
    if (!m_slow)
        restartSlownessWait();
}

bool RootViewModel::restartSlownessWait()
{
    if (isWaitNoticed())
        noticeSlowness(m_clock, m_slowWait.renew());
    else
        m_slowWait.cancel();
    return std::exchange(m_slow, false);
}

QCoro::Task<void> RootViewModel::noticeSlowness(Clock *clock, CancelToken cancel)
{
    QPointer<RootViewModel> self(this);
    const auto delay = m_phase == Phase::Reading ? keyringNoticeDelay : serviceNoticeDelay;
    co_await clock->sleep(delay, cancel);
    if (!self || cancel.isCancelled() || !isWaitNoticed())
        co_return;
    m_slowWait.finish(cancel);
    m_slow = true;
    emit launchStateChanged();
}

void RootViewModel::setUnreadNotice(bool shown)
{
    if (m_unreadNotice == shown)
        return;
    m_unreadNotice = shown;
    emit unreadNoticeChanged();
}

void RootViewModel::dismissUnreadNotice()
{
    setUnreadNotice(false);
}

void RootViewModel::onTokenLoaded()
{
    if (m_phase != Phase::Reading || !m_auth)
        return;
    // Decided before the screen is, so that a saved token never lets the
    // sign-in form through, not even for one change.
    const auto token = m_auth->session()->token();
    if (token && !m_auth->canUseApp()) {
        m_phase = Phase::Restoring;
        restoreSavedSession(*token, m_restore.renew());
    } else {
        m_phase = Phase::Settled;
    }
    // The keychain's wait ends; the profile request's begins.
    if (restartSlownessWait())
        emit launchStateChanged();
    updateScreen();
}

void RootViewModel::updateScreen()
{
    Screen screen = Screen::SignIn;
    if (!m_auth || m_phase == Phase::Reading)
        screen = Screen::Launch;
    else if (m_auth->canUseApp())
        screen = Screen::Main;
    else if (m_phase == Phase::Restoring || m_phase == Phase::Offline)
        screen = Screen::Launch;
    if (screen == m_screen)
        return;
    m_screen = screen;
    emit screenChanged();
}

void RootViewModel::setPhase(Phase phase)
{
    m_phase = phase;
    // Past the first answer only retries follow, which show as offline.
    if (m_slow || m_slowWait.isRunning())
        restartSlownessWait();
    emit launchStateChanged();
    updateScreen();
}

QCoro::Task<void> RootViewModel::restoreSavedSession(QString token, CancelToken cancel)
{
    QPointer<RootViewModel> self(this);
    QPointer<AuthStore> auth = m_auth;
    for (;;) {
        // Another account chosen meanwhile aborts the request: a service
        // that holds it must not keep a connection for nobody.
        if (m_failures == 0)
            co_await auth->refreshProfileAsync(token, cancel);
        else
            co_await auth->retrySavedTokenAsync(token, cancel);
        if (!self || !auth || cancel.isCancelled())
            co_return;
        // Signed in, or the token was refused (the store signed out
        // without a message), or someone else's session stands now.
        const std::optional<QString> &held = auth->session()->token();
        if (auth->canUseApp() || !auth->error() || (held && *held != token)) {
            m_failures = 0;
            m_restore.finish(cancel);
            setPhase(Phase::Settled);
            co_return;
        }
        ++m_failures;
        if (m_errorText != *auth->error()) {
            m_errorText = *auth->error();
            emit errorTextChanged();
        }
        setPhase(Phase::Offline);
        watchNetwork();

        const CancelToken pause = m_pause.renew();
        Clock *clock = m_clock;
        co_await clock->sleep(retryDelay(m_failures), pause);
        if (!self || !auth || cancel.isCancelled())
            co_return;
        setPhase(Phase::Restoring);
    }
}

void RootViewModel::retry()
{
    // Ends the pause early; a request already under way is not doubled.
    if (m_phase == Phase::Offline)
        m_pause.cancel();
}

void RootViewModel::networkReachable()
{
    retry();
}

void RootViewModel::signInWithAnotherAccount()
{
    if (m_phase != Phase::Restoring && m_phase != Phase::Offline)
        return;
    m_restore.cancel();
    m_pause.cancel();
    if (m_auth)
        m_auth->setAsideSavedToken();
    m_failures = 0;
    setPhase(Phase::Settled);
}

void RootViewModel::dismissUnsavedNotice()
{
    if (!m_unsavedNotice)
        return;
    m_unsavedNotice = false;
    emit unsavedNoticeChanged();
}

void RootViewModel::watchNetwork()
{
    // Loaded only once the service could not be reached: a start with a
    // good connection pays nothing for it.
    if (m_watchingNetwork)
        return;
    m_watchingNetwork = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
        [this](QNetworkInformation::Reachability reachability) {
            if (reachability == QNetworkInformation::Reachability::Online)
                networkReachable();
        });
}

} // namespace nimbra
