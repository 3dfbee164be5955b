#include "httputil.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonParseError>

namespace devservice {

void sendJson(httplib::Response &res, int status, const QJsonValue &value)
{
    QJsonDocument doc;
    if (value.isArray())
        doc.setArray(value.toArray());
    else
        doc.setObject(value.toObject());
    res.status = status;
    res.set_content(doc.toJson(QJsonDocument::Compact).toStdString(), "application/json");
}

void sendDetail(httplib::Response &res, int status, const QString &detail)
{
    sendJson(res, status, QJsonObject {{QStringLiteral("detail"), detail}});
}

void sendValidation(httplib::Response &res, const QList<ValidationIssue> &issues)
{
    QJsonArray detail;
    for (const ValidationIssue &issue : issues) {
        detail.append(QJsonObject {
            {QStringLiteral("loc"), QJsonArray::fromStringList(issue.loc)},
            {QStringLiteral("msg"), issue.msg},
            {QStringLiteral("type"), issue.type},
        });
    }
    sendJson(res, 422, QJsonObject {{QStringLiteral("detail"), detail}});
}

bool requireMethod(const httplib::Request &req, httplib::Response &res, const char *method)
{
    if (req.method == method || (std::string_view(method) == "GET" && req.method == "HEAD"))
        return true;
    sendDetail(res, 405, QStringLiteral("Method Not Allowed"));
    return false;
}

QStringList pathSegments(const httplib::Request &req)
{
    return QString::fromStdString(req.path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

std::optional<QString> queryValue(const httplib::Request &req, const char *name)
{
    if (!req.has_param(name))
        return std::nullopt;
    return QString::fromStdString(req.get_param_value(name));
}

std::optional<QString> bearerToken(const httplib::Request &req)
{
    if (!req.has_header("Authorization"))
        return std::nullopt;
    const QString value = QString::fromStdString(req.get_header_value("Authorization"));
    const QLatin1String prefix("Bearer ");
    if (!value.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    return value.mid(prefix.size());
}

std::optional<QJsonObject> jsonObjectBody(const httplib::Request &req, httplib::Response &res)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(req.body), &error);
    if (error.error != QJsonParseError::NoError) {
        sendValidation(res,
            {{{QStringLiteral("body")}, QStringLiteral("Тело запроса не является корректным JSON"),
                QStringLiteral("json_invalid")}});
        return std::nullopt;
    }
    if (!doc.isObject()) {
        sendValidation(res,
            {{{QStringLiteral("body")}, QStringLiteral("Ожидается JSON-объект"),
                QStringLiteral("model_attributes_type")}});
        return std::nullopt;
    }
    return doc.object();
}

std::optional<QString> requiredText(const QJsonObject &body, const QString &key, QList<ValidationIssue> &issues)
{
    const QJsonValue value = body.value(key);
    if (value.isUndefined() || value.isNull()) {
        issues.append({{QStringLiteral("body"), key}, QStringLiteral("Поле обязательно"), QStringLiteral("missing")});
        return std::nullopt;
    }
    if (!value.isString()) {
        issues.append(
            {{QStringLiteral("body"), key}, QStringLiteral("Ожидается строка"), QStringLiteral("string_type")});
        return std::nullopt;
    }
    return value.toString();
}

int queryInt(const httplib::Request &req, const char *name, int fallback, int minimum, int maximum,
    QList<ValidationIssue> &issues)
{
    const auto text = queryValue(req, name);
    if (!text)
        return fallback;
    bool ok = false;
    const qlonglong value = text->toLongLong(&ok);
    const QStringList loc {QStringLiteral("query"), QString::fromLatin1(name)};
    if (!ok) {
        issues.append({loc, QStringLiteral("Ожидается целое число"), QStringLiteral("int_parsing")});
        return fallback;
    }
    if (value < minimum) {
        issues.append({loc, QStringLiteral("Значение должно быть не меньше %1").arg(minimum),
            QStringLiteral("greater_than_equal")});
        return fallback;
    }
    if (value > maximum) {
        issues.append(
            {loc, QStringLiteral("Значение должно быть не больше %1").arg(maximum), QStringLiteral("less_than_equal")});
        return fallback;
    }
    return int(value);
}

} // namespace devservice
