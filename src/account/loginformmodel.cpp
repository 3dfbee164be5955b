#include "account/loginformmodel.h"

#include "account/authstore.h"
#include "api/storeregistry.h"

using namespace Qt::StringLiterals;

namespace nimbra {

LoginFormModel::LoginFormModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_auth) {
        connect(m_auth, &AuthStore::isLoadingChanged, this, [this] {
            emit isLoadingChanged();
            updateCanSubmit();
        });
        connect(m_auth, &AuthStore::errorTextChanged, this, &LoginFormModel::errorTextChanged);
    }
    updateCanSubmit();
}

void LoginFormModel::setRegister(bool isRegister)
{
    if (m_register == isRegister)
        return;
    m_register = isRegister;
    emit isRegisterChanged();
}

void LoginFormModel::setUsername(const QString &username)
{
    if (m_username == username)
        return;
    m_username = username;
    emit usernameChanged();
    updateCanSubmit();
}

void LoginFormModel::setEmail(const QString &email)
{
    if (m_email == email)
        return;
    m_email = email;
    emit emailChanged();
}

void LoginFormModel::setPassword(const QString &password)
{
    if (m_password == password)
        return;
    m_password = password;
    emit passwordChanged();
    updateCanSubmit();
}

bool LoginFormModel::isLoading() const
{
    return m_auth && m_auth->isLoading();
}

bool LoginFormModel::canSubmit() const
{
    return m_auth && !m_username.isEmpty() && !m_password.isEmpty() && !m_auth->isLoading();
}

QString LoginFormModel::errorText() const
{
    return m_auth ? m_auth->errorText() : QString();
}

QString LoginFormModel::submitTitle() const
{
    return m_register ? u"Создать аккаунт"_s : u"Войти"_s;
}

QString LoginFormModel::modeSwitchTitle() const
{
    return m_register ? u"Уже есть аккаунт? Войти"_s : u"Нет аккаунта? Регистрация"_s;
}

QString LoginFormModel::caption() const
{
    return u"Музыкальный сервис для "_s + platformName();
}

QString LoginFormModel::platformName()
{
#if defined(Q_OS_MACOS)
    return u"macOS"_s;
#elif defined(Q_OS_WIN)
    return u"Windows"_s;
#elif defined(Q_OS_LINUX)
    return u"Linux"_s;
#elif defined(Q_OS_FREEBSD)
    return u"FreeBSD"_s;
#else
    return u"компьютера"_s;
#endif
}

void LoginFormModel::submit()
{
    if (!canSubmit())
        return;
    if (m_register)
        m_auth->registerUser(m_username, m_email, m_password);
    else
        m_auth->login(m_username, m_password);
}

void LoginFormModel::toggleMode()
{
    setRegister(!m_register);
}

void LoginFormModel::continueAsGuest()
{
    if (m_auth)
        m_auth->continueAsGuest();
}

void LoginFormModel::openQrLogin()
{
    if (m_showQrLogin)
        return;
    m_showQrLogin = true;
    emit showQrLoginChanged();
}

void LoginFormModel::closeQrLogin()
{
    if (!m_showQrLogin)
        return;
    m_showQrLogin = false;
    emit showQrLoginChanged();
}

void LoginFormModel::updateCanSubmit()
{
    const bool can = canSubmit();
    if (m_canSubmit == can)
        return;
    m_canSubmit = can;
    emit canSubmitChanged();
}

} // namespace nimbra
