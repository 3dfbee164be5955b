#include "qrconfirmclient.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace devservice {

int confirmQrOnService(const QString &serviceUrl, const QString &qrToken, const QString &username)
{
    const QUrl url(serviceUrl);
    if (!url.isValid() || url.scheme() != "http"_L1 || url.host().isEmpty()) {
        std::fprintf(stderr, "nimbra-devservice: --service needs an http:// address, got %s\n", qPrintable(serviceUrl));
        return 2;
    }
    httplib::Client client(url.host().toStdString(), url.port(80));
    client.set_connection_timeout(5, 0);
    client.set_read_timeout(10, 0);
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QByteArray body = QJsonDocument(QJsonObject {{u"qr_token"_s, qrToken}, {u"username"_s, username}})
                                .toJson(QJsonDocument::Compact);
    const auto result
        = client.Post((path + u"/__dev/qr/confirm"_s).toStdString(), body.toStdString(), "application/json");
    if (!result) {
        std::fprintf(stderr, "nimbra-devservice: %s unreachable: %s\n", qPrintable(serviceUrl),
            httplib::to_string(result.error()).c_str());
        return 1;
    }
    std::printf("%d %s\n", result->status, result->body.c_str());
    return result->status >= 200 && result->status < 300 ? 0 : 1;
}

} // namespace devservice
