#include "rootviewmodel.h"

#include "account/authstore.h"

namespace nimbra {

RootViewModel::RootViewModel(QObject *parent) : QObject(parent) { }

void RootViewModel::setAuth(AuthStore *auth)
{
    if (m_auth == auth)
        return;
    if (m_auth)
        disconnect(m_auth, nullptr, this, nullptr);
    m_auth = auth;
    if (m_auth) {
        connect(m_auth, &AuthStore::canUseAppChanged, this, &RootViewModel::updateScreen);
        connect(m_auth, &AuthStore::tokenLoadedChanged, this, [this] {
            updateScreen();
            refreshSavedSession();
        });
        connect(m_auth, &QObject::destroyed, this, &RootViewModel::updateScreen);
    }
    emit authChanged();
    updateScreen();
    refreshSavedSession();
}

void RootViewModel::updateScreen()
{
    Screen screen = Screen::Launch;
    if (m_auth && m_auth->isTokenLoaded())
        screen = m_auth->canUseApp() ? Screen::Main : Screen::SignIn;
    if (screen == m_screen)
        return;
    m_screen = screen;
    emit screenChanged();
}

void RootViewModel::refreshSavedSession()
{
    if (m_refreshed || !m_auth || !m_auth->isTokenLoaded())
        return;
    m_refreshed = true;
    if (const auto token = m_auth->token())
        m_auth->refreshProfile(*token);
}

} // namespace nimbra
