#include "platform/ownedtempfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

constexpr auto namePrefix = "nimbra-"_L1;

// Folders whose objects still live. The program may end without deleting
// some (a player handed to the event loop for deletion after the loop has
// returned): their folders go with the application object all the same.
struct LiveFolders
{
    QMutex mutex;
    QSet<QString> paths;
    bool cleanupAdded = false;
};

LiveFolders &liveFolders()
{
    static LiveFolders folders;
    return folders;
}

void removeLiveFolders()
{
    LiveFolders &live = liveFolders();
    const QMutexLocker lock(&live.mutex);
    for (const QString &path : std::as_const(live.paths))
        QDir(path).removeRecursively();
    live.paths.clear();
}

void track(const QString &path)
{
    LiveFolders &live = liveFolders();
    const QMutexLocker lock(&live.mutex);
    live.paths.insert(path);
    if (!live.cleanupAdded && QCoreApplication::instance()) {
        live.cleanupAdded = true;
        qAddPostRoutine(removeLiveFolders);
    }
}

void untrack(const QString &path)
{
    LiveFolders &live = liveFolders();
    const QMutexLocker lock(&live.mutex);
    live.paths.remove(path);
}

// "nimbra-<kind>-<pid>-XXXXXX": the owner's process id, or nothing for a
// name of another pattern (an update's download folder, say).
std::optional<pid_t> ownerOf(const QString &name)
{
    const QStringList parts = name.split(u'-');
    if (parts.size() != 4 || parts.at(0) != "nimbra"_L1 || parts.at(3).size() != 6)
        return std::nullopt;
    bool number = false;
    const qlonglong pid = parts.at(2).toLongLong(&number);
    if (!number || pid <= 0 || pid != pid_t(pid))
        return std::nullopt;
    return pid_t(pid);
}

bool isRunning(pid_t pid)
{
    // EPERM: running, as another user.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

OwnedTempFolder::OwnedTempFolder(QStringView kind)
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + u'/' + namePrefix + kind.toString() + u'-'
        + QString::number(::getpid()) + u"-XXXXXX"_s);
    const char *made = ::mkdtemp(pattern.data());
    if (!made)
        return;
    // Held until the folder goes; the kernel lets go of it when the process
    // ends in any way, a kill included.
    const int lock = ::open(made, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (lock >= 0)
            ::close(lock);
        ::rmdir(made);
        return;
    }
    m_lock = lock;
    m_path = QFile::decodeName(made);
    track(m_path);
}

OwnedTempFolder::~OwnedTempFolder()
{
    if (!isValid())
        return;
    untrack(m_path);
    QDir(m_path).removeRecursively();
    ::close(m_lock);
}

QString OwnedTempFolder::filePath(const QString &name) const
{
    return isValid() ? m_path + u'/' + name : QString();
}

int OwnedTempFolder::sweepAbandoned()
{
    const QDir temp(QDir::tempPath());
    const QStringList names = temp.entryList(
        {namePrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    int removed = 0;
    for (const QString &name : names) {
        const std::optional<pid_t> owner = ownerOf(name);
        if (!owner || *owner == ::getpid() || isRunning(*owner))
            continue;
        const QString path = temp.filePath(name);
        const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder < 0)
            continue;
        struct stat info {};
        // Held meanwhile, so that two clients starting at once do not
        // remove it under each other.
        if (::fstat(folder, &info) == 0 && info.st_uid == ::getuid() && ::flock(folder, LOCK_EX | LOCK_NB) == 0
            && QDir(path).removeRecursively())
            ++removed;
        ::close(folder);
    }
    return removed;
}

} // namespace nimbra
