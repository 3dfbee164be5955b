#include "devserviceprocess.h"

#include "testenv.h"

#include "api/network.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace nimbra::test {

namespace {

// A sanitizer build on a busy machine generates the catalogue and answers
// many times slower than a quiet one.
constexpr int kStartTimeoutMs = 60000;
constexpr int kCallTimeoutMs = 30000;

RecordedRequest recordFromJson(const QJsonObject &o)
{
    RecordedRequest r;
    r.method = o.value(QStringLiteral("method")).toString();
    r.setTarget(o.value(QStringLiteral("target")).toString());
    const QJsonObject headers = o.value(QStringLiteral("headers")).toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        r.headers.insert(it.key().toLower(), it.value().toString());
    r.body = o.value(QStringLiteral("body")).toString().toUtf8();
    return r;
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

DevServiceProcess::DevServiceProcess(const QStringList &arguments)
{
    // The service must never outlive the test: a crashed test would leave it
    // holding the test's error output open, and CTest would wait for that
    // past its time-out. So its log goes to a file, it runs in a process
    // group of its own, and the kernel kills it when the test process ends.
    m_log.setFileTemplate(QDir::tempPath() + u"/nimbra-devservice-XXXXXX.log"_s);
    if (m_log.open())
        m_process.setStandardErrorFile(m_log.fileName());
    else
        m_process.setStandardErrorFile(QProcess::nullDevice());
    const pid_t parent = getpid();
    m_process.setChildProcessModifier([parent] {
        setsid();
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The test may have ended between the fork and the line above.
        if (getppid() != parent)
            _exit(1);
    });
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QByteArray output;
    static const QRegularExpression addressLine(
        QStringLiteral("^nimbra-devservice listening on (http://127\\.0\\.0\\.1:\\d+)$"));
    const auto fail = [&](const QString &why) {
        m_startError = why;
        loop.quit();
    };
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, [&] {
        output += m_process.readAllStandardOutput();
        const qsizetype end = output.indexOf('\n');
        if (end < 0)
            return;
        const auto m = addressLine.match(QString::fromUtf8(output.left(end)));
        if (m.hasMatch())
            m_baseUrl = QUrl(m.captured(1));
        fail(
            m.hasMatch() ? QString() : QStringLiteral("unexpected first line: ") + QString::fromUtf8(output.left(end)));
    });
    QObject::connect(&m_process, &QProcess::errorOccurred, &loop, [&] { fail(m_process.errorString()); });
    QObject::connect(&m_process, &QProcess::finished, &loop,
        [&](int code) { fail(QStringLiteral("exited with code %1 before listening").arg(code)); });
    QObject::connect(&timeout, &QTimer::timeout, &loop,
        [&] { fail(QStringLiteral("no address line within %1 ms").arg(kStartTimeoutMs)); });
    m_process.start(devservicePath(), QStringList {QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    timeout.start(kStartTimeoutMs);
    loop.exec();
    QObject::disconnect(&m_process, nullptr, &loop, nullptr);
    if (!m_startError.isEmpty())
        m_startError += u"\n"_s + QString::fromUtf8(log().right(2000));
    if (m_baseUrl.isValid())
        m_network = std::make_unique<QNetworkAccessManager>();
}

DevServiceProcess::~DevServiceProcess()
{
    m_network.reset();
    stop();
}

QByteArray DevServiceProcess::log() const
{
    QFile file(m_log.fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool DevServiceProcess::isRunning() const
{
    return m_baseUrl.isValid() && m_process.state() == QProcess::Running;
}

int DevServiceProcess::stop()
{
    // Kept-alive connections of the client would hold up the stop for a second.
    sharedNetworkAccessManager()->clearConnectionCache();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
            return -1;
        }
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

DevServiceReply DevServiceProcess::call(const QByteArray &method, const QString &pathAndQuery, const QByteArray &body,
    const QString &token, const QList<QPair<QByteArray, QByteArray>> &headers) const
{
    DevServiceReply result;
    if (!m_network)
        return result;
    QNetworkRequest request(QUrl(m_baseUrl.toString() + pathAndQuery));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    if (!token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply *reply = m_network->sendCustomRequest(request, method, body);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timeout, &QTimer::timeout, reply, &QNetworkReply::abort);
    timeout.start(kCallTimeoutMs);
    loop.exec();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    for (const auto &[name, value] : reply->rawHeaderPairs())
        result.headers.insert(name.toLower(), value);
    reply->deleteLater();
    return result;
}

DevServiceReply DevServiceProcess::get(const QString &pathAndQuery, const QString &token) const
{
    return call(QByteArrayLiteral("GET"), pathAndQuery, {}, token);
}

QString DevServiceProcess::signIn(const QString &username, const QString &password) const
{
    const DevServiceReply reply = call("POST", QStringLiteral("/api/v1/auth/login"),
        compact({{QStringLiteral("username"), username}, {QStringLiteral("password"), password}}));
    return reply.status == 200 ? reply.object().value(QStringLiteral("access_token")).toString() : QString();
}

QList<RecordedRequest> DevServiceProcess::requests() const
{
    QList<RecordedRequest> list;
    for (const QJsonValue &entry : get(QStringLiteral("/__dev/requests")).json().array())
        list.append(recordFromJson(entry.toObject()));
    return list;
}

void DevServiceProcess::clearRequests() const
{
    call("DELETE", QStringLiteral("/__dev/requests"));
}

bool DevServiceProcess::injectFault(const QJsonObject &fault) const
{
    return call("POST", QStringLiteral("/__dev/fault"), compact(fault)).status == 200;
}

void DevServiceProcess::clearFaults() const
{
    call("DELETE", QStringLiteral("/__dev/fault"));
}

int DevServiceProcess::releaseHeld() const
{
    const DevServiceReply reply = call("POST", QStringLiteral("/__dev/release"));
    return reply.status == 200 ? reply.object().value(QStringLiteral("released")).toInt() : -1;
}

bool DevServiceProcess::confirmQr(const QString &qrToken, const QString &username) const
{
    const QJsonObject body {{QStringLiteral("qr_token"), qrToken}, {QStringLiteral("username"), username}};
    return call("POST", QStringLiteral("/__dev/qr/confirm"), compact(body)).status == 200;
}

} // namespace nimbra::test
