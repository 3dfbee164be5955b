#include "devcontrols.h"

#include "httputil.h"

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace devservice {

void DevControls::handle(const httplib::Request &req, httplib::Response &res)
{
    const std::string &path = req.path;
    const std::string &method = req.method;
    if (path == "/__dev/requests" && method == "GET") {
        sendJson(res, 200, m_log.toJson());
    } else if (path == "/__dev/requests" && method == "DELETE") {
        sendJson(res, 200, QJsonObject {{u"cleared"_s, m_log.clear()}});
    } else if (path == "/__dev/fault" && method == "POST") {
        const auto body = jsonObjectBody(req, res);
        if (!body)
            return;
        QString error;
        const auto fault = FaultList::fromJson(*body, &error);
        if (!fault)
            return sendDetail(res, 400, error);
        sendJson(res, 200, QJsonObject {{u"id"_s, m_faults.add(*fault)}});
    } else if (path == "/__dev/fault" && method == "DELETE") {
        sendJson(res, 200, QJsonObject {{u"cleared"_s, m_faults.clear()}});
    } else if (path == "/__dev/release" && method == "POST") {
        sendJson(res, 200, QJsonObject {{u"released"_s, m_faults.release()}});
    } else if (path == "/__dev/qr/confirm" && method == "POST") {
        confirmQr(req, res);
    } else {
        sendDetail(res, 404, u"Not Found"_s);
    }
}

void DevControls::confirmQr(const httplib::Request &req, httplib::Response &res)
{
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    QList<ValidationIssue> issues;
    const auto qrToken = requiredText(*body, u"qr_token"_s, issues);
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    const QString username = body->value(u"username"_s).toString(u"demo"_s);
    const auto user = m_accounts.userByName(username);
    if (!user)
        return sendDetail(res, 404, u"Пользователь не найден"_s);
    switch (m_accounts.confirmQr(*qrToken, user->id)) {
    case QrState::Unknown:
        return sendDetail(res, 404, u"QR-токен не найден"_s);
    case QrState::Expired:
        return sendDetail(res, 410, u"QR-код истёк"_s);
    case QrState::Pending:
    case QrState::Confirmed:
        return sendJson(res, 200, QJsonObject {{u"status"_s, u"confirmed"_s}, {u"username"_s, user->username}});
    }
}

} // namespace devservice
