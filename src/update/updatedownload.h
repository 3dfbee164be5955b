#pragma once

#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QUrl>

class QNetworkReply;

namespace nimbra {

// One installer download, streamed to disk: the bytes go into a QSaveFile
// as they arrive, so memory stays flat whatever the server announces, and
// the file shows under its name only once it is whole. A status outside
// 2xx, a body shorter than its announced length, a redirect to an address
// the client may not fetch and any write failure end it with an error;
// then nothing is left under the name.
class UpdateDownload : public QObject
{
    Q_OBJECT
public:
    // folder: an existing private folder; the file goes inside it.
    UpdateDownload(QUrl url, QString folder, QObject *parent = nullptr);
    ~UpdateDownload() override;

    // The address's last path component when it is a plain file name (not
    // empty, "." or "..", no "/", "\" or NUL), else the system's fallback
    // name.
    static QString fileNameFor(const QUrl &url);
    // "Не удалось загрузить обновление: " + reason.
    static QString failureText(const QString &reason);
    // The failure of an address the client may not fetch from.
    static QString unsafeAddressText();

    // Sends the request; finished() follows, never from within start().
    void start();
    void abort();

    bool isFinished() const { return m_finished; }
    bool succeeded() const { return m_finished && m_error.isEmpty(); }
    // The whole file, once succeeded.
    QString filePath() const { return m_path; }
    // The listener's text of the failure, once finished without success.
    QString errorText() const { return m_error; }

signals:
    // -1 while the length is unknown, else the fraction received so far.
    void progressChanged(double progress);
    void finished();

private:
    void readArrived();
    void replyFinished();
    bool statusAccepted();
    void stopReply();
    void fail(const QString &reason);
    void finish();

    QUrl m_url;
    QString m_path;
    QSaveFile m_file;
    QPointer<QNetworkReply> m_reply;
    qint64 m_expected = -1;
    qint64 m_received = 0;
    double m_published = -1;
    QString m_error;
    bool m_finished = false;
};

} // namespace nimbra
