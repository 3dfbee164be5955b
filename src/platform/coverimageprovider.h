#pragma once

#include <QQuickAsyncImageProvider>

class QQmlNetworkAccessManagerFactory;

namespace nimbra {

// Answers CoverImages' addresses: fetches the cover through the engine's
// image access (its disk cache and refusals), once per address however many
// images ask at the same time, and decodes and rounds it on the loader
// thread, never on the window's.
class CoverImageProvider : public QQuickAsyncImageProvider
{
public:
    // Without a factory covers load through a plain access manager.
    explicit CoverImageProvider(QQmlNetworkAccessManagerFactory *factory);

    QQuickImageResponse *requestImageResponse(const QString &id, const QSize &requestedSize) override;

private:
    QQmlNetworkAccessManagerFactory *m_factory;
};

} // namespace nimbra
