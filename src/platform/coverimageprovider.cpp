#include "platform/coverimageprovider.h"
#include "platform/coverimages.h"

#include <QFile>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQmlFile>
#include <QQmlNetworkAccessManagerFactory>
#include <QThreadStorage>

namespace nimbra {

namespace {

// One download of one address, shared by every response that asks for it
// while it runs. It lives on the loader thread that started it.
class CoverFetch;

QHash<QUrl, CoverFetch *> &fetchesOfThisThread()
{
    thread_local QHash<QUrl, CoverFetch *> fetches;
    return fetches;
}

class CoverFetch : public QObject
{
    Q_OBJECT
public:
    CoverFetch(const QUrl &cover, QNetworkReply *reply)
    {
        fetchesOfThisThread().insert(cover, this);
        reply->setParent(this);
        connect(reply, &QNetworkReply::finished, this, [this, cover, reply] {
            // A response that asks from now on starts a fetch of its own
            // (which the disk cache or the refusals answer at once).
            fetchesOfThisThread().remove(cover);
            if (reply->error() == QNetworkReply::NoError)
                emit done(reply->readAll(), QString());
            else
                emit done({}, QStringLiteral("Обложка не загрузилась: %1").arg(cover.toString()));
            deleteLater();
        });
    }

signals:
    void done(const QByteArray &bytes, const QString &error);
};

QNetworkAccessManager *managerForThisThread(QQmlNetworkAccessManagerFactory *factory)
{
    static QThreadStorage<QNetworkAccessManager *> managers;
    if (!managers.hasLocalData())
        managers.setLocalData(factory ? factory->create(nullptr) : new QNetworkAccessManager);
    return managers.localData();
}

class CoverResponse : public QQuickImageResponse
{
public:
    CoverResponse(QSize size, qreal radius, int corners)
        : m_size(size)
        , m_radius(radius)
        , m_corners(corners)
    {
    }

    QQuickTextureFactory *textureFactory() const override
    {
        return QQuickTextureFactory::textureFactoryForImage(m_image);
    }
    QString errorString() const override { return m_error; }
    void cancel() override { finish({}, QStringLiteral("cancelled")); }

    void load(const QUrl &cover, QQmlNetworkAccessManagerFactory *factory)
    {
        if (cover.isLocalFile() || cover.scheme() == u"qrc") {
            QFile file(QQmlFile::urlToLocalFileOrQrc(cover));
            if (file.open(QIODevice::ReadOnly))
                decodeAndFinish(file.readAll());
            else
                finish({}, QStringLiteral("Обложка не открылась: %1").arg(cover.toString()));
            return;
        }
        CoverFetch *fetch = fetchesOfThisThread().value(cover);
        if (!fetch)
            fetch = new CoverFetch(cover, managerForThisThread(factory)->get(QNetworkRequest(cover)));
        m_fetchConnection = connect(fetch, &CoverFetch::done, this, [this](const QByteArray &bytes, const QString &error) {
            if (error.isEmpty())
                decodeAndFinish(bytes);
            else
                finish({}, error);
        });
    }

    // Finishes after the engine has connected to the response.
    void finish(QImage image, QString error)
    {
        if (m_finished)
            return;
        m_finished = true;
        disconnect(m_fetchConnection);
        m_image = std::move(image);
        m_error = std::move(error);
        QMetaObject::invokeMethod(this, &QQuickImageResponse::finished, Qt::QueuedConnection);
    }

private:
    void decodeAndFinish(const QByteArray &bytes)
    {
        QImage image = CoverImages::decode(bytes, m_size, m_radius, m_corners);
        if (image.isNull())
            finish({}, QStringLiteral("Обложка повреждена"));
        else
            finish(std::move(image), {});
    }

    QSize m_size;
    qreal m_radius;
    int m_corners;
    QImage m_image;
    QString m_error;
    bool m_finished = false;
    QMetaObject::Connection m_fetchConnection;
};

} // namespace

CoverImageProvider::CoverImageProvider(QQmlNetworkAccessManagerFactory *factory)
    : m_factory(factory)
{
}

QQuickImageResponse *CoverImageProvider::requestImageResponse(const QString &id, const QSize &requestedSize)
{
    QUrl cover;
    qreal radius = 0;
    int corners = Corners::all;
    const bool valid = CoverImages::parse(id, &cover, &radius, &corners);
    auto *response = new CoverResponse(requestedSize, radius, corners);
    if (valid)
        response->load(cover, m_factory);
    else
        response->finish({}, QStringLiteral("Неверный адрес обложки"));
    return response;
}

} // namespace nimbra

#include "coverimageprovider.moc"
