#pragma once

#include <QObject>
#include <QUrl>

class QThread;

namespace nimbra {

class CopyFetch;

// A whole copy of a stream in a private temporary file (0600, in a folder of
// its own that is 0700), where the media reads and seeks it on its own
// threads. The answer goes from the network to the file on a thread of the
// copy's own, never through the window's. It is cut, and the copy fails,
// once it passes limitBytes, half the free room of the temporary folder, or
// the length the answer announced; the file goes with this object.
class ExactCopy : public QObject
{
    Q_OBJECT
public:
    ExactCopy(const QUrl &source, qint64 limitBytes, QObject *parent = nullptr);
    ~ExactCopy() override;

signals:
    // Once: the file that holds the whole answer, or an empty address when
    // none came whole.
    void finished(const QUrl &file);

private:
    QThread *m_thread;
    CopyFetch *m_fetch;
};

} // namespace nimbra
