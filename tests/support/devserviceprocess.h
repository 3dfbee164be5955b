#pragma once

#include "fakehttpserver.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace nimbra::test {

// One answer of the local service, read whole.
struct DevServiceReply
{
    int status = 0; // 0 when no HTTP answer arrived
    QByteArray body;
    QMap<QByteArray, QByteArray> headers; // lower-case names

    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
    QJsonObject object() const { return json().object(); }
};

// Runs nimbra-devservice for a test: starts it on a free port, waits for its
// address line (the event loop keeps running meanwhile), and stops it when
// destroyed. The helpers below block on a local event loop; they are for
// test code only.
class DevServiceProcess
{
public:
    // Extra arguments such as "--tracks", "200" go after "--port 0".
    explicit DevServiceProcess(const QStringList &arguments = {});
    ~DevServiceProcess();

    DevServiceProcess(const DevServiceProcess &) = delete;
    DevServiceProcess &operator=(const DevServiceProcess &) = delete;

    bool isRunning() const;
    // "http://127.0.0.1:<port>" without a trailing "/"; invalid when the
    // service did not start.
    QUrl baseUrl() const { return m_baseUrl; }
    // What went wrong when it did not start.
    QString startError() const { return m_startError; }

    // Every request the service logged since start or the last clear.
    QList<RecordedRequest> requests() const;
    void clearRequests() const;
    // Posts the object to "/__dev/fault"; false when the service refused it.
    bool injectFault(const QJsonObject &fault) const;
    // Removes the faults; what they held goes on.
    void clearFaults() const;
    // Lets the answers held by "hold" faults go on ("/__dev/release"); how
    // many were held, -1 when the service did not answer.
    int releaseHeld() const;
    bool confirmQr(const QString &qrToken, const QString &username = QStringLiteral("demo")) const;

    // One request; pathAndQuery begins with "/". A non-empty token is sent
    // as "Authorization: Bearer <token>"; a body goes as JSON.
    DevServiceReply call(const QByteArray &method, const QString &pathAndQuery, const QByteArray &body = {},
        const QString &token = {}, const QList<QPair<QByteArray, QByteArray>> &headers = {}) const;
    DevServiceReply get(const QString &pathAndQuery, const QString &token = {}) const;
    // A token of the user, or the empty text when signing in failed.
    QString signIn(
        const QString &username = QStringLiteral("demo"), const QString &password = QStringLiteral("demo12345")) const;

    // Sends SIGTERM and waits; the exit code, or -1 when it crashed or hung.
    int stop();
    // What the service wrote to its error output so far.
    QByteArray log() const;

private:
    QTemporaryFile m_log;
    QProcess m_process;
    QUrl m_baseUrl;
    QString m_startError;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

} // namespace nimbra::test
