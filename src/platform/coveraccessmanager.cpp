#include "platform/coveraccessmanager.h"

#include <QAbstractNetworkCache>
#include <QMutexLocker>
#include <QNetworkReply>
#include <QTimer>

namespace nimbra {

namespace {

// An answer made here, without touching the network: a cover from the disk
// cache, or the failure of an address refused earlier.
class LocalReply : public QNetworkReply
{
public:
    LocalReply(const QNetworkRequest &request, QByteArray body, QObject *parent)
        : QNetworkReply(parent)
        , m_body(std::move(body))
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(QNetworkAccessManager::GetOperation);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    static LocalReply *cached(const QNetworkRequest &request, const QNetworkCacheMetaData &metaData,
                              QByteArray body, QObject *parent)
    {
        auto *reply = new LocalReply(request, std::move(body), parent);
        reply->setAttribute(QNetworkRequest::HttpStatusCodeAttribute, 200);
        reply->setAttribute(QNetworkRequest::SourceIsFromCacheAttribute, true);
        for (const auto &[name, value] : metaData.rawHeaders())
            reply->setRawHeader(name, value);
        reply->setHeader(QNetworkRequest::ContentLengthHeader, reply->m_body.size());
        reply->finishSoon(NoError);
        return reply;
    }

    static LocalReply *refused(const QNetworkRequest &request, QObject *parent)
    {
        auto *reply = new LocalReply(request, {}, parent);
        reply->setAttribute(QNetworkRequest::HttpStatusCodeAttribute, 404);
        reply->setError(ContentNotFoundError, QStringLiteral("Обложка недоступна"));
        reply->finishSoon(ContentNotFoundError);
        return reply;
    }

    void abort() override {}
    qint64 bytesAvailable() const override { return m_body.size() - m_read + QNetworkReply::bytesAvailable(); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, qint64(m_body.size()) - m_read);
        if (count <= 0)
            return m_read >= m_body.size() ? -1 : 0;
        memcpy(data, m_body.constData() + m_read, size_t(count));
        m_read += count;
        return count;
    }

private:
    // Listeners connect after the manager has returned the reply.
    void finishSoon(NetworkError error)
    {
        setFinished(true);
        QTimer::singleShot(0, this, [this, error] {
            if (error != NoError) {
                emit errorOccurred(error);
            } else {
                emit metaDataChanged();
                emit downloadProgress(m_body.size(), m_body.size());
                emit readyRead();
            }
            emit finished();
        });
    }

    QByteArray m_body;
    qint64 m_read = 0;
};

bool isRefusal(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 400 && status < 500;
}

} // namespace

bool RefusedAddresses::contains(const QUrl &url) const
{
    QMutexLocker lock(&m_mutex);
    return m_urls.contains(url);
}

void RefusedAddresses::insert(const QUrl &url)
{
    QMutexLocker lock(&m_mutex);
    m_urls.insert(url);
}

CoverAccessManager::CoverAccessManager(std::shared_ptr<RefusedAddresses> refused, QObject *parent)
    : QNetworkAccessManager(parent)
    , m_refused(std::move(refused))
{
}

QNetworkReply *CoverAccessManager::createRequest(Operation operation, const QNetworkRequest &request,
                                                 QIODevice *outgoingData)
{
    if (operation != GetOperation)
        return QNetworkAccessManager::createRequest(operation, request, outgoingData);
    if (m_refused->contains(request.url()))
        return LocalReply::refused(request, this);
    if (QAbstractNetworkCache *diskCache = cache()) {
        const QNetworkCacheMetaData metaData = diskCache->metaData(request.url());
        if (metaData.isValid()) {
            std::unique_ptr<QIODevice> stored(diskCache->data(request.url()));
            if (stored)
                return LocalReply::cached(request, metaData, stored->readAll(), this);
        }
    }
    QNetworkReply *reply = QNetworkAccessManager::createRequest(operation, request, outgoingData);
    connect(reply, &QNetworkReply::finished, this, [reply, url = request.url(), refused = m_refused] {
        if (isRefusal(reply))
            refused->insert(url);
    });
    return reply;
}

} // namespace nimbra
