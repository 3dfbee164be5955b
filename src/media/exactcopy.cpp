#include "media/exactcopy.h"

#include "platform/ownedtempfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QStorageInfo>
#include <QThread>

#include <memory>

namespace nimbra {

namespace {

// What the reply may hold unread: the copy's memory whatever the answer.
constexpr qint64 readBufferBytes = 1 << 20;

} // namespace

// Lives on the copy's thread, and ends there: the fetch and the file.
class CopyFetch : public QObject
{
    Q_OBJECT
public:
    // The file is made here, on the window's thread, before the copy's
    // thread starts: the folder then holds all it ever will, and its owner
    // may remove it whole at any moment.
    CopyFetch(QUrl source, qint64 limit, const QString &file, ExactCopy::RoomReader room)
        : m_source(std::move(source)), m_limit(limit), m_room(std::move(room))
    {
        m_file.setFileName(file);
        m_opened = !file.isEmpty()
            && m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void start()
    {
        if (!m_opened) {
            end(false);
            return;
        }
        // A copy that fills the disk would fail the rest of the desktop.
        const qint64 room = m_room(QFileInfo(m_file.fileName()).path());
        if (room > 0)
            m_limit = std::min(m_limit, room / 2);
        auto *manager = new QNetworkAccessManager(this);
        manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkRequest request(m_source);
        // The bytes counted must be the bytes announced.
        request.setRawHeader("Accept-Encoding", "identity");
        request.setTransferTimeout(int(ExactCopy::idleLimit.count()));
        m_reply = manager->get(request);
        m_reply->setReadBufferSize(readBufferBytes);
        // Refused on its announced length, before any of its body.
        connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            m_announced = length.isValid() ? length.toLongLong() : -1;
            if (m_announced > m_limit)
                end(false);
        });
        connect(m_reply, &QNetworkReply::readyRead, this, &CopyFetch::take);
        connect(m_reply, &QNetworkReply::finished, this, [this] {
            take();
            if (m_ended)
                return;
            const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            end(m_reply->error() == QNetworkReply::NoError && status == 200 && m_written > 0
                && (m_announced < 0 || m_written == m_announced) && m_file.flush());
        });
    }

    void stop()
    {
        end(false);
        thread()->quit();
    }

signals:
    void finished(const QUrl &file);

private:
    void take()
    {
        if (m_ended)
            return;
        // An error page is no copy.
        if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200) {
            end(false);
            return;
        }
        const QByteArray chunk = m_reply->readAll();
        m_written += chunk.size();
        if (m_written > m_limit || (m_announced >= 0 && m_written > m_announced)
            || m_file.write(chunk) != chunk.size())
            end(false);
    }

    // Once: a copy that is not whole takes no room for the rest of the track.
    void end(bool whole)
    {
        if (m_ended)
            return;
        m_ended = true;
        if (m_reply) {
            m_reply->disconnect(this);
            m_reply->abort();
            m_reply->deleteLater();
        }
        // On a full disk the close fails as well, on what the write buffer
        // still holds, and QFile::remove gives up after a close that failed:
        // the name goes on its own.
        m_file.close();
        if (!whole && m_opened)
            QFile::remove(m_file.fileName());
        emit finished(whole ? QUrl::fromLocalFile(m_file.fileName()) : QUrl());
    }

    QUrl m_source;
    qint64 m_limit;
    qint64 m_announced = -1;
    qint64 m_written = 0;
    bool m_ended = false;
    bool m_opened = false;
    ExactCopy::RoomReader m_room;
    QFile m_file {this};
    QPointer<QNetworkReply> m_reply;
};

qint64 ExactCopy::freeRoom(const QString &folder)
{
    return QStorageInfo(folder).bytesAvailable();
}

ExactCopy::ExactCopy(const QUrl &source, qint64 limitBytes, RoomReader room, QObject *parent)
    : QObject(parent),
      m_folder(std::make_unique<OwnedTempFolder>(u"copy")),
      m_thread(new QThread),
      m_fetch(new CopyFetch(source, limitBytes, m_folder->filePath(QStringLiteral("copy")), std::move(room)))
{
    m_fetch->moveToThread(m_thread);
    connect(m_fetch, &CopyFetch::finished, this, &ExactCopy::finished);
    connect(m_thread, &QThread::started, m_fetch, &CopyFetch::start);
    // Both go once the thread has ended, whenever that is: the window's
    // thread never waits for a copy to let go of its connection or its file.
    connect(m_thread, &QThread::finished, m_fetch, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    m_thread->start();
}

// The folder goes here and now, whatever the copy's thread is doing: a
// file it still writes to has no name any more, and its room comes back
// once the thread lets go of it.
ExactCopy::~ExactCopy()
{
    disconnect(m_fetch, nullptr, this, nullptr);
    QMetaObject::invokeMethod(m_fetch, &CopyFetch::stop, Qt::QueuedConnection);
}

} // namespace nimbra

#include "exactcopy.moc"
