#pragma once

#include "api/canceltoken.h"

#include <QObject>
#include <QString>

#include <optional>

namespace nimbra {

// Who the client talks to the service as: the one holder of the bearer
// token that stores read for their requests. The composition root keeps it
// in step with the sign-in; QML sees only whether an account is in use,
// never the token.
class Session : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isSignedIn READ isSignedIn NOTIFY changed)
    Q_PROPERTY(bool hasAccount READ hasAccount NOTIFY changed)
    Q_PROPERTY(bool isGuest READ isGuest NOTIFY changed)

public:
    explicit Session(QObject *parent = nullptr);

    const std::optional<QString> &token() const { return m_token; }
    // A token is held (a profile may still be on its way).
    bool isSignedIn() const { return m_token.has_value(); }
    // A token with a profile: what an action that needs an account asks.
    bool hasAccount() const { return m_token && m_hasUser; }
    bool isGuest() const { return m_guest; }

    void setToken(std::optional<QString> token);
    void setHasUser(bool hasUser);
    void setGuest(bool guest);

    // Cancelled as the session ends. Work started in the session carries
    // it (or a task token bound to it), so that once the listener has left
    // none of it sends their token again and nothing of it starts playing.
    CancelToken lifetime() const { return m_lifetime; }
    // The lifetime of session, or for none one that never ends.
    static CancelToken lifetimeOf(const Session *session) { return session ? session->lifetime() : CancelToken(); }

signals:
    void changed();
    // Only when the token itself changed: a sign-in, sign-out or another account.
    void tokenChanged();
    // The account or guest visit in use is over (sign-out, a token the
    // service refused, another account, another service): what it left in
    // the player and the stores goes. Emitted before tokenChanged.
    void ended();

private:
    void end();

    std::optional<QString> m_token;
    CancelToken m_lifetime;
    bool m_hasUser = false;
    bool m_guest = false;
};

} // namespace nimbra
