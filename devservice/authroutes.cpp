#include "authroutes.h"

#include "httputil.h"
#include "recordjson.h"

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

QJsonObject tokenResponse(const QString &token)
{
    return {{u"access_token"_s, token}, {u"token_type"_s, u"bearer"_s}};
}

// An address of the form the service's validator accepts: one "@", a
// local part of printable characters without blanks (no leading, trailing
// or doubled "."), and a domain of at least two dot-separated labels of
// letters, digits and inner "-", whose last label is not all digits.
bool isValidEmail(const QString &text)
{
    if (text.count(QLatin1Char('@')) != 1)
        return false;
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    const QString local = text.left(at);
    const QString domain = text.mid(at + 1);
    if (local.isEmpty() || local.size() > 64 || local.startsWith(QLatin1Char('.')) || local.endsWith(QLatin1Char('.'))
        || local.contains(".."_L1))
        return false;
    for (const QChar c : local) {
        if (c.isSpace() || !c.isPrint() || QStringView(u"()<>[]:;,\\\"").contains(c))
            return false;
    }
    const QStringList labels = domain.split(QLatin1Char('.'));
    if (labels.size() < 2)
        return false;
    for (const QString &label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) || label.endsWith(QLatin1Char('-')))
            return false;
        for (const QChar c : label) {
            if (!c.isLetterOrNumber() && c != QLatin1Char('-'))
                return false;
        }
    }
    bool numeric = true;
    for (const QChar c : labels.last())
        numeric = numeric && c.isDigit();
    return !numeric;
}

} // namespace

bool AuthRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const QStringList s = pathSegments(req);
    if (s.size() < 4 || s[0] != "api"_L1 || s[1] != "v1"_L1 || s[2] != "auth"_L1)
        return false;
    const QString &name = s[3];
    if (s.size() == 4 && name == "login"_L1) {
        if (requireMethod(req, res, "POST"))
            login(req, res);
    } else if (s.size() == 4 && name == "register"_L1) {
        if (requireMethod(req, res, "POST"))
            registerUser(req, res);
    } else if (s.size() == 4 && name == "me"_L1) {
        if (requireMethod(req, res, "GET"))
            me(req, res);
    } else if (s.size() == 4 && name == "profile"_L1) {
        if (requireMethod(req, res, "PATCH"))
            patchProfile(req, res);
    } else if (s.size() == 5 && name == "qr"_L1 && s[4] == "init"_L1) {
        if (requireMethod(req, res, "POST"))
            qrInit(res);
    } else if (s.size() == 6 && name == "qr"_L1 && s[4] == "status"_L1) {
        if (requireMethod(req, res, "GET"))
            qrStatus(s[5], res);
    } else {
        return false;
    }
    return true;
}

void AuthRoutes::login(const httplib::Request &req, httplib::Response &res)
{
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    QList<ValidationIssue> issues;
    const auto username = requiredText(*body, u"username"_s, issues);
    const auto password = requiredText(*body, u"password"_s, issues);
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    const auto token = m_backend.accounts.login(*username, *password);
    if (!token)
        return sendDetail(res, 401, u"Неверный логин или пароль"_s);
    sendJson(res, 200, tokenResponse(*token));
}

void AuthRoutes::registerUser(const httplib::Request &req, httplib::Response &res)
{
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    QList<ValidationIssue> issues;
    const auto username = requiredText(*body, u"username"_s, issues);
    const auto email = requiredText(*body, u"email"_s, issues);
    const auto password = requiredText(*body, u"password"_s, issues);
    const QStringList usernameLoc {u"body"_s, u"username"_s};
    if (username && username->trimmed().size() < 3)
        issues.append({usernameLoc, u"Имя пользователя должно быть не короче 3 символов"_s, u"string_too_short"_s});
    else if (username && m_backend.accounts.usernameTaken(*username))
        issues.append({usernameLoc, u"Пользователь с таким именем уже существует"_s, u"value_error"_s});
    if (email && !isValidEmail(*email))
        issues.append({{u"body"_s, u"email"_s}, u"Некорректный адрес электронной почты"_s, u"value_error"_s});
    if (password && password->size() < 8)
        issues.append(
            {{u"body"_s, u"password"_s}, u"Пароль должен быть не короче 8 символов"_s, u"string_too_short"_s});
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    const auto token = m_backend.accounts.registerUser(*username, *email, *password);
    if (!token)
        return sendValidation(res, {{usernameLoc, u"Пользователь с таким именем уже существует"_s, u"value_error"_s}});
    sendJson(res, 200, tokenResponse(*token));
}

void AuthRoutes::me(const httplib::Request &req, httplib::Response &res)
{
    if (const auto user = m_backend.requireUser(req, res))
        sendJson(res, 200, recordjson::user(*user));
}

void AuthRoutes::patchProfile(const httplib::Request &req, httplib::Response &res)
{
    const auto user = m_backend.requireUser(req, res);
    if (!user)
        return;
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    QList<ValidationIssue> issues;
    std::optional<QString> email;
    std::optional<std::optional<QString>> artist;
    const QJsonValue emailValue = body->value(u"email"_s);
    if (emailValue.isString() && isValidEmail(emailValue.toString()))
        email = emailValue.toString();
    else if (emailValue.isString())
        issues.append({{u"body"_s, u"email"_s}, u"Некорректный адрес электронной почты"_s, u"value_error"_s});
    else if (!emailValue.isUndefined() && !emailValue.isNull())
        issues.append({{u"body"_s, u"email"_s}, u"Ожидается строка"_s, u"string_type"_s});
    const QJsonValue artistValue = body->value(u"catalog_artist_name"_s);
    // emplace rather than assigning a temporary optional: GCC's flow
    // analysis loses track of the temporary and warns about its contents.
    if (artistValue.isString())
        artist.emplace(artistValue.toString());
    else if (artistValue.isNull())
        artist.emplace();
    else if (!artistValue.isUndefined())
        issues.append({{u"body"_s, u"catalog_artist_name"_s}, u"Ожидается строка"_s, u"string_type"_s});
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    sendJson(res, 200, recordjson::user(m_backend.accounts.updateProfile(user->id, email, artist)));
}

void AuthRoutes::qrInit(httplib::Response &res)
{
    sendJson(res, 200,
        QJsonObject {{u"qr_token"_s, m_backend.accounts.startQr()},
            {u"expires_in_seconds"_s, m_backend.accounts.qrLifetimeSeconds()}});
}

void AuthRoutes::qrStatus(const QString &qrToken, httplib::Response &res)
{
    const QrStatus status = m_backend.accounts.qrStatus(qrToken);
    switch (status.state) {
    case QrState::Unknown:
        return sendDetail(res, 404, u"QR-токен не найден"_s);
    case QrState::Pending:
        return sendJson(res, 200, QJsonObject {{u"status"_s, u"pending"_s}});
    case QrState::Expired:
        return sendJson(res, 200, QJsonObject {{u"status"_s, u"expired"_s}});
    case QrState::Confirmed:
        return sendJson(res, 200, QJsonObject {{u"status"_s, u"confirmed"_s}, {u"access_token"_s, status.accessToken}});
    }
}

} // namespace devservice
