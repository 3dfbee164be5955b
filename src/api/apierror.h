#pragma once

#include "api/error.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

#include <optional>

namespace nimbra {

// The error of the service client. Stores match on kind() (a refused token
// is HttpStatus 401 or 403 with tokenWasSent()) and show description() as
// their message.
class ApiError : public Error
{
public:
    enum class Kind { HttpStatus, Decoding, Network, InvalidUrl, Unauthorized };

    // What went wrong below HTTP. Cancelled and TimedOut are told apart so a
    // task can drop a cancelled result silently while a time-out is shown.
    enum class NetworkFailure {
        Other,
        NoConnection,
        HostNotFound,
        ConnectionRefused,
        ConnectionLost,
        TimedOut,
        Cancelled,
        SecureConnection,
        BadResponse,
        ResponseTooLarge,
        // A change the service redirected to another origin: not followed.
        RedirectedElsewhere,
    };

    // The part of a server's error text that a message shows: its first
    // line, at most this many characters.
    static constexpr qsizetype maxMessageLength = 200;

    static ApiError httpStatus(int statusCode, std::optional<QString> message);
    // The error for an answer of status (not 2xx) with this body: the
    // server's message cut to a short line, none for markup. cut: the body
    // is only the first part of what the server sent. elsewhere: another
    // origin answered (a redirect led there), whose refusal says nothing of
    // the listener's password or token.
    static ApiError statusError(
        int status, const QByteArray &body, const QByteArray &contentType, bool cut = false, bool elsewhere = false);
    static ApiError decoding(QString underlyingDescription);
    // transportText is the network layer's own (English) text, kept for
    // diagnostics; the listener sees the Russian text of the failure.
    static ApiError network(NetworkFailure failure, QString transportText = {});
    // What a reply's transport error means to the listener.
    static NetworkFailure failureFor(QNetworkReply::NetworkError error);
    static ApiError invalidUrl();
    static ApiError unauthorized();

    Kind kind() const { return m_kind; }
    // HttpStatus: the status code; 0 for every other kind.
    int statusCode() const { return m_statusCode; }
    // HttpStatus: the server's message, if it sent one.
    std::optional<QString> message() const { return m_message; }
    // HttpStatus: the request that got this answer carried the bearer token
    // (a redirect to another origin drops it).
    bool tokenWasSent() const { return m_tokenSent; }
    ApiError withTokenSent(bool sent) const
    {
        ApiError e = *this;
        e.m_tokenSent = sent;
        return e;
    }
    // Network: the failure; Other for every other kind.
    NetworkFailure networkFailure() const { return m_failure; }
    bool isCancelled() const { return m_kind == Kind::Network && m_failure == NetworkFailure::Cancelled; }
    bool isTimedOut() const { return m_kind == Kind::Network && m_failure == NetworkFailure::TimedOut; }

    QString description() const override;

private:
    explicit ApiError(Kind kind) : m_kind(kind) { }

    Kind m_kind;
    int m_statusCode = 0;
    std::optional<QString> m_message;
    NetworkFailure m_failure = NetworkFailure::Other;
    bool m_tokenSent = false;
    // Decoding: the decoder's description; Network: the transport's text.
    QString m_underlying;
};

} // namespace nimbra
