#pragma once

#include <QMutex>
#include <QNetworkAccessManager>
#include <QSet>
#include <QUrl>

#include <memory>

namespace nimbra {

// Addresses the image hosts refused (a 4xx answer) in this session, shared
// by the access managers of every loader thread: such a cover is not asked
// for again each time a row scrolls into view.
class RefusedAddresses
{
public:
    bool contains(const QUrl &url) const;
    void insert(const QUrl &url);

private:
    mutable QMutex m_mutex;
    QSet<QUrl> m_urls;
};

// The access manager of QML images. A cover's address names one picture for
// good, so what the disk cache holds is served without asking the host
// again, whatever freshness headers came with it (or none); a refused
// address fails at once.
class CoverAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit CoverAccessManager(std::shared_ptr<RefusedAddresses> refused, QObject *parent = nullptr);

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    std::shared_ptr<RefusedAddresses> m_refused;
};

} // namespace nimbra
