#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace nimbra {

// Which service issued each bearer token the client has held: a token goes
// only to the scheme, host and port it came from. A request prepared with a
// token before the base address moved to another service therefore carries
// it nowhere new, whenever that request is finally sent.
class TokenOrigins
{
public:
    // The token was issued by the service at origin (for a token restored
    // from the keychain, the one saved with it); a later binding of the
    // same text wins.
    static void bind(const QString &token, const QUrl &origin);
    // Where token may be sent: the origin it was bound to, else the base
    // address in force (no token, or one the sign-in never held).
    static QUrl originOf(const std::optional<QString> &token);
};

} // namespace nimbra
