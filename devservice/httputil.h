#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// One entry of the service's validation-error body.
struct ValidationIssue
{
    QStringList loc;
    QString msg;
    QString type;
};

void sendJson(httplib::Response &res, int status, const QJsonValue &value);
// {"detail": text}
void sendDetail(httplib::Response &res, int status, const QString &detail);
// 422 {"detail": [{"loc": [...], "msg": "...", "type": "..."}]}
void sendValidation(httplib::Response &res, const QList<ValidationIssue> &issues);

// True when the request has that method (HEAD counts as GET); otherwise
// answers 405 and gives false.
bool requireMethod(const httplib::Request &req, httplib::Response &res, const char *method);

// Path split at "/" with empty segments removed; "/api/v1/tracks/t1" gives
// "api", "v1", "tracks", "t1".
QStringList pathSegments(const httplib::Request &req);

std::optional<QString> queryValue(const httplib::Request &req, const char *name);
// The token after "Bearer " in "Authorization", or nothing.
std::optional<QString> bearerToken(const httplib::Request &req);

// The body as a JSON object. On failure the 422 answer is already sent.
std::optional<QJsonObject> jsonObjectBody(const httplib::Request &req, httplib::Response &res);

// Reads a required text field of a body; records an issue when it is missing
// or not a string.
std::optional<QString> requiredText(const QJsonObject &body, const QString &key, QList<ValidationIssue> &issues);

// Reads an integer query item with a default and bounds; records an issue
// when it is present and not an integer in range.
int queryInt(const httplib::Request &req, const char *name, int fallback, int minimum, int maximum,
    QList<ValidationIssue> &issues);

} // namespace devservice
