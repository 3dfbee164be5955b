#include "servicerequests.h"

using namespace Qt::StringLiterals;

namespace nimbra::test {

QString requestLine(const RecordedRequest &request)
{
    QString line = request.method + u' ' + request.target;
    if (request.hasHeader(u"authorization"_s))
        line += u" | auth: "_s + request.header(u"authorization"_s);
    if (request.hasHeader(u"content-type"_s))
        line += u" | type: "_s + request.header(u"content-type"_s);
    if (request.header(u"accept"_s) != "application/json"_L1)
        line += u" | accept: "_s + request.header(u"accept"_s);
    return line;
}

QStringList requestLines(const QList<RecordedRequest> &requests)
{
    QStringList lines;
    for (const RecordedRequest &request : requests)
        lines.append(requestLine(request));
    return lines;
}

QString expectedLine(const QString &method, const QString &target, const std::optional<QString> &token, bool jsonBody)
{
    QString line = method + u' ' + target;
    if (token)
        line += u" | auth: Bearer "_s + *token;
    if (jsonBody)
        line += u" | type: application/json"_s;
    return line;
}

ApiError apiErrorOf(const std::exception_ptr &error)
{
    TaskOutcome<bool> outcome;
    outcome.error = error;
    return outcome.errorAs<ApiError>().value_or(ApiError::httpStatus(0, u"no ApiError"_s));
}

} // namespace nimbra::test
