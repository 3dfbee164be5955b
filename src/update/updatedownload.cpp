#include "updatedownload.h"

#include "api/apierror.h"
#include "api/network.h"
#include "update/otaservice.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// No byte for this long ends the download; a slow but moving one goes on.
constexpr int stallTimeoutMs = 30000;
// Progress is published in steps of at least this much (and at the end),
// which is finer than any bar shows and spares a redraw per packet.
constexpr double progressStep = 0.005;

} // namespace

UpdateDownload::UpdateDownload(QUrl url, QString folder, QObject *parent)
    : QObject(parent), m_url(std::move(url)), m_path(QDir(folder).filePath(fileNameFor(m_url))), m_file(m_path)
{
}

UpdateDownload::~UpdateDownload()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

QString UpdateDownload::failureText(const QString &reason)
{
    return u"Не удалось загрузить обновление: "_s + reason;
}

QString UpdateDownload::unsafeAddressText()
{
    return failureText(u"адрес загрузки не защищён (нужен https)"_s);
}

QString UpdateDownload::fileNameFor(const QUrl &url)
{
    // The component is cut from the encoded path and only then decoded, so
    // an encoded "/" ("%2F") cannot smuggle in a folder.
    const QString path = url.path(QUrl::FullyEncoded);
    const QString name = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(u'/') + 1).toUtf8());
    const bool plain = !name.isEmpty() && name != "."_L1 && name != ".."_L1 && !name.contains(u'/')
        && !name.contains(u'\\') && !name.contains(QChar(0)) && name.toUtf8().size() <= 255;
    return plain ? name : OtaService::fallbackFileName();
}

void UpdateDownload::start()
{
    // What an earlier run left under the name goes first.
    QFile::remove(m_path);
    if (!m_file.open(QIODevice::WriteOnly)) {
        fail(m_file.errorString());
        QMetaObject::invokeMethod(this, &UpdateDownload::finish, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(m_url);
    // The bytes counted must be the bytes announced, so the body comes as
    // sent, never decompressed on the way.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(stallTimeoutMs);
    m_reply = sharedNetworkAccessManager()->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateDownload::readArrived);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateDownload::replyFinished);
    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl &target) {
        if (OtaService::isAllowedAddress(m_url.resolved(target))) {
            emit m_reply->redirectAllowed();
            return;
        }
        m_error = unsafeAddressText();
        stopReply();
    });
}

void UpdateDownload::abort()
{
    if (m_reply && !m_finished) {
        fail(APIError::network(APIError::NetworkFailure::Cancelled).description());
        m_reply->abort();
    }
}

bool UpdateDownload::statusAccepted()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || (status.toInt() >= 200 && status.toInt() <= 299))
        return true;
    // The body of an error answer is never kept.
    fail(u"сервер ответил HTTP %1"_s.arg(status.toInt()));
    stopReply();
    return false;
}

void UpdateDownload::readArrived()
{
    if (!m_error.isEmpty() || !statusAccepted())
        return;
    if (m_received == 0 && m_expected < 0) {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        m_expected = length.isValid() ? length.toLongLong() : -1;
    }
    const QByteArray bytes = m_reply->readAll();
    if (m_file.write(bytes) != bytes.size()) {
        fail(m_file.errorString());
        stopReply();
        return;
    }
    m_received += bytes.size();
    if (m_expected < 1)
        return;
    const double progress = std::min(1.0, double(m_received) / double(m_expected));
    if (progress - m_published >= progressStep || (progress >= 1.0 && m_published < 1.0)) {
        m_published = progress;
        emit progressChanged(progress);
    }
}

void UpdateDownload::stopReply()
{
    // From the event loop: the reply may be in the middle of reporting an
    // error of its own, which a nested abort would report a second time.
    if (m_reply && !m_reply->isFinished())
        QMetaObject::invokeMethod(m_reply.data(), &QNetworkReply::abort, Qt::QueuedConnection);
}

void UpdateDownload::replyFinished()
{
    if (m_error.isEmpty() && statusAccepted()) {
        readArrived();
        // A short body comes first: the transport's text for it (the
        // connection closed) would not say that the file is incomplete.
        if (m_error.isEmpty() && m_expected >= 0 && m_received < m_expected)
            fail(u"файл получен не полностью (%1 из %2 байт)"_s.arg(m_received).arg(m_expected));
        if (m_error.isEmpty() && m_reply && m_reply->error() != QNetworkReply::NoError)
            fail(APIError::network(APIError::failureFor(m_reply->error()), m_reply->errorString()).description());
        if (m_error.isEmpty() && !m_file.commit())
            fail(m_file.errorString());
    }
    finish();
}

void UpdateDownload::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = failureText(reason);
    m_file.cancelWriting();
}

void UpdateDownload::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // A failed save's commit only removes its temporary file: nothing is
    // left in the folder.
    if (!m_error.isEmpty() && m_file.isOpen()) {
        m_file.cancelWriting();
        m_file.commit();
    }
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->deleteLater();
        m_reply.clear();
    }
    emit finished();
}

} // namespace nimbra
