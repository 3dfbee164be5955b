#pragma once

#include <QObject>
#include <QString>

namespace nimbra {

// Where the transport tells the sign-in that the service refused a bearer
// token it was sent (status 401): whatever screen made the request, the
// session of that token is over. Main thread only.
class TokenRejections : public QObject
{
    Q_OBJECT
public:
    static TokenRejections *instance();

    // Called by the transport; listeners hear it on the next turn of the
    // event loop, after the refused request has reported its own failure.
    void report(const QString &token, const QString &message);

signals:
    void rejected(const QString &token, const QString &message);

private:
    TokenRejections() = default;
};

} // namespace nimbra
