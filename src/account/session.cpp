#include "account/session.h"

namespace nimbra {

Session::Session(QObject *parent) : QObject(parent) { }

void Session::setToken(std::optional<QString> token)
{
    if (m_token == token)
        return;
    const bool hadToken = m_token.has_value();
    m_token = std::move(token);
    if (hadToken)
        emit ended();
    emit tokenChanged();
    emit changed();
}

void Session::setHasUser(bool hasUser)
{
    if (m_hasUser == hasUser)
        return;
    m_hasUser = hasUser;
    emit changed();
}

void Session::setGuest(bool guest)
{
    if (m_guest == guest)
        return;
    m_guest = guest;
    if (!guest)
        emit ended();
    emit changed();
}

} // namespace nimbra
