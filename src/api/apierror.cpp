#include "api/apierror.h"

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
    case F::Other:
        break;
    }
    return u"Ошибка сети"_s;
}

} // namespace

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
