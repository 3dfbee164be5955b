#include "api/apierror.h"

#include "api/accountrecords.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace nimbra {

ApiError ApiError::httpStatus(int statusCode, std::optional<QString> message)
{
    ApiError e(Kind::HttpStatus);
    e.m_statusCode = statusCode;
    e.m_message = std::move(message);
    return e;
}

ApiError ApiError::decoding(QString underlyingDescription)
{
    ApiError e(Kind::Decoding);
    e.m_underlying = std::move(underlyingDescription);
    return e;
}

ApiError ApiError::network(NetworkFailure failure, QString transportText)
{
    ApiError e(Kind::Network);
    e.m_failure = failure;
    e.m_underlying = std::move(transportText);
    return e;
}

ApiError ApiError::invalidUrl()
{
    return ApiError(Kind::InvalidUrl);
}

ApiError ApiError::unauthorized()
{
    return ApiError(Kind::Unauthorized);
}

namespace {

// A server's text as a message shows it: one line, short. Whatever a
// proxy or a broken service puts into an error body, the message stays a
// line of plain text that lays out at once.
QString shortMessage(const QString &text)
{
    qsizetype end = text.size();
    for (const QChar stop : {QChar(u'\n'), QChar(u'\r')}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    QString line = text.left(end).trimmed();
    if (line.size() > ApiError::maxMessageLength)
        line = line.left(ApiError::maxMessageLength - 1).trimmed() + QChar(0x2026);
    return line;
}

// An HTML or XML page (a proxy's or web server's error page) carries no
// message meant for the listener.
bool isMarkup(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray type = contentType.toLower();
    if (type.contains("html") || type.contains("xml"))
        return true;
    return body.trimmed().startsWith('<');
}

// The server's message in an error body: the validation list's texts, else
// a text "detail", else the first line of a plain-text body (none when it is
// markup or not UTF-8). Every one is cut to a short line.
std::optional<QString> serverMessage(const QByteArray &body, const QByteArray &contentType, bool cut)
{
    if (isMarkup(body, contentType))
        return std::nullopt;
    // The first part of a JSON text is no message; its first line would
    // show the listener raw JSON.
    const QByteArray start = body.trimmed().left(1);
    if (cut && (start == "{" || start == "["))
        return std::nullopt;

    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isNull()) {
        try {
            const auto validation = decodeJson<HttpValidationError>(body);
            if (validation.detail) {
                QStringList messages;
                for (const ValidationDetail &entry : *validation.detail)
                    messages.append(entry.msg);
                const QString joined = messages.join(", "_L1);
                if (!joined.isEmpty())
                    return shortMessage(joined);
            }
        } catch (const DecodingError &) {
        }
        if (document.isObject()) {
            const QJsonValue detail = document.object().value("detail"_L1);
            if (detail.isString())
                return shortMessage(detail.toString());
        }
    }

    // A cut may fall inside a character: its last character goes whole.
    QByteArrayView bytes(body);
    if (cut) {
        while (!bytes.isEmpty() && (uchar(bytes.back()) & 0xC0) == 0x80)
            bytes.chop(1);
        if (!bytes.isEmpty() && uchar(bytes.back()) >= 0xC0)
            bytes.chop(1);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return shortMessage(text);
}

QString networkText(ApiError::NetworkFailure failure)
{
    using F = ApiError::NetworkFailure;
    switch (failure) {
    case F::NoConnection:
        return u"Нет подключения к интернету"_s;
    case F::HostNotFound:
        return u"Не удалось найти сервер с указанным именем"_s;
    case F::ConnectionRefused:
        return u"Не удалось подключиться к серверу"_s;
    case F::ConnectionLost:
        return u"Соединение с сервером прервано"_s;
    case F::TimedOut:
        return u"Превышено время ожидания ответа сервера"_s;
    case F::Cancelled:
        return u"Запрос отменён"_s;
    case F::SecureConnection:
        return u"Не удалось установить защищённое соединение с сервером"_s;
    case F::BadResponse:
        return u"Некорректный ответ сервера"_s;
    case F::ResponseTooLarge:
        return u"Ответ сервера слишком большой"_s;
    case F::RedirectedElsewhere:
        return u"Сервер перенаправил запрос на другой сервер: запрос не выполнен"_s;
    case F::Other:
        break;
    }
    return u"Ошибка сети"_s;
}

} // namespace

ApiError ApiError::statusError(
    int status, const QByteArray &body, const QByteArray &contentType, bool cut, bool elsewhere)
{
    std::optional<QString> message = serverMessage(body, contentType, cut);
    if ((status == 401 || status == 403) && !message && !elsewhere)
        message = u"Неверный логин или пароль"_s;
    return ApiError::httpStatus(status, std::move(message));
}

QString ApiError::description() const
{
    switch (m_kind) {
    case Kind::HttpStatus:
        if (m_message && !m_message->isEmpty())
            return *m_message;
        return u"Ошибка сервера (%1)"_s.arg(m_statusCode);
    case Kind::Decoding:
        return u"Ошибка разбора ответа: "_s + m_underlying;
    case Kind::Network:
        return networkText(m_failure);
    case Kind::InvalidUrl:
        return u"Некорректный адрес API"_s;
    case Kind::Unauthorized:
        return u"Требуется вход в аккаунт"_s;
    }
    return {};
}

ApiError::NetworkFailure ApiError::failureFor(QNetworkReply::NetworkError error)
{
    using F = ApiError::NetworkFailure;
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return F::ConnectionRefused;
    case QNetworkReply::RemoteHostClosedError:
        return F::ConnectionLost;
    case QNetworkReply::HostNotFoundError:
        return F::HostNotFound;
    // An abort we did not ask for is the idle time-out of the request.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return F::TimedOut;
    case QNetworkReply::SslHandshakeFailedError:
        return F::SecureConnection;
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return F::NoConnection;
    case QNetworkReply::ProtocolFailure:
        return F::BadResponse;
    default:
        return F::Other;
    }
}

} // namespace nimbra
