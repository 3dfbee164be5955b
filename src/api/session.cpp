#include "api/session.h"

#include <utility>

namespace nimbra {

Session::Session(QObject *parent) : QObject(parent) { }

void Session::setToken(std::optional<QString> token)
{
    if (m_token == token)
        return;
    const bool hadToken = m_token.has_value();
    m_token = std::move(token);
    if (hadToken)
        end();
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
        end();
    emit changed();
}

void Session::end()
{
    // Cancelled before anybody hears of the end, so that no task of the
    // session acts on an answer while the stores let go of it.
    std::exchange(m_lifetime, CancelToken()).cancel();
    emit ended();
}

} // namespace nimbra
