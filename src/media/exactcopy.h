#pragma once

#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QThread;

namespace nimbra {

class CopyFetch;
class OwnedTempFolder;

// A whole copy of a stream in a private temporary file (0600, in a folder of
// its own that is 0700), where the media reads and seeks it on its own
// threads. The answer goes from the network to the file on a thread of the
// copy's own, never through the window's. It is cut, and the copy fails,
// once it passes limitBytes, half the free room of the temporary folder, or
// the length the answer announced; an answer that announces more is
// refused before its body. The folder goes with this object, and with the
// program (OwnedTempFolder).
class ExactCopy : public QObject
{
    Q_OBJECT
public:
    // The free bytes of the file system that holds folder; asked on the
    // copy's thread.
    using RoomReader = std::function<qint64(const QString &folder)>;
    static qint64 freeRoom(const QString &folder);
    // No byte for this long ends the copy; the stream has taken the seek by then.
    static constexpr std::chrono::milliseconds idleLimit {30000};

    ExactCopy(const QUrl &source, qint64 limitBytes, RoomReader room = &ExactCopy::freeRoom, QObject *parent = nullptr);
    ~ExactCopy() override;

signals:
    // Once: the file that holds the whole answer, or an empty address when
    // none came whole.
    void finished(const QUrl &file);

private:
    std::unique_ptr<OwnedTempFolder> m_folder;
    QThread *m_thread;
    CopyFetch *m_fetch;
};

} // namespace nimbra
