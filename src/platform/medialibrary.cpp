#include "platform/medialibrary.h"

#include "platform/pendingmediaplayers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QList>
#include <QPointer>
#include <QThreadPool>

#include <atomic>
#include <dlfcn.h>
#include <mutex>

namespace nimbra {

namespace {

std::atomic<MediaEntry *> loadedEntry {nullptr};

struct Waiter
{
    QPointer<QObject> context;
    std::function<void(MediaEntry &)> ready;
};

// Main thread only.
bool loadStarted = false;
QList<Waiter> waiters;

// Next to the core library, in the build tree and where it is installed.
QString libraryPath()
{
    Dl_info info {};
    if (!dladdr(reinterpret_cast<void *>(&MediaLibrary::entry), &info) || !info.dli_fname)
        return QStringLiteral(NIMBRA_MEDIA_FILE);
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).dir().filePath(QStringLiteral(NIMBRA_MEDIA_FILE));
}

// Once per process, on whichever thread comes first; a second caller waits
// for the first.
MediaEntry &loadOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Kept loaded for the life of the process.
        static QLibrary library(libraryPath());
        using EntryFunction = MediaEntry *(*)();
        auto find = reinterpret_cast<EntryFunction>(library.resolve("nimbraMediaEntry"));
        MediaEntry *entry = find ? find() : nullptr;
        if (!entry)
            qFatal("nimbra: the media library could not be loaded: %s", qPrintable(library.errorString()));
        entry->prepare();
        loadedEntry.store(entry);
    });
    return *loadedEntry.load();
}

void handOut()
{
    MediaEntry &entry = *loadedEntry.load();
    // A callback may ask for more (a stand-in made inside one is served at once).
    const QList<Waiter> due = std::exchange(waiters, {});
    for (const Waiter &waiter : due) {
        if (waiter.context)
            waiter.ready(entry);
    }
}

} // namespace

MediaEntry &MediaLibrary::entry()
{
    if (MediaEntry *entry = loadedEntry.load())
        return *entry;
    return loadOnce();
}

bool MediaLibrary::isLoaded()
{
    return loadedEntry.load() != nullptr;
}

void MediaLibrary::whenLoaded(QObject *context, std::function<void(MediaEntry &)> ready)
{
    if (MediaEntry *entry = loadedEntry.load(); entry && waiters.isEmpty()) {
        ready(*entry);
        return;
    }
    waiters.append({context, std::move(ready)});
    if (loadStarted)
        return;
    loadStarted = true;
    QThreadPool::globalInstance()->start([] {
        loadOnce();
        QMetaObject::invokeMethod(QCoreApplication::instance(), &handOut, Qt::QueuedConnection);
    });
}

OnDemandAudioBackend::OnDemandAudioBackend(MediaLoader loader)
    : m_loader(std::move(loader)), m_loaded(std::make_shared<std::unique_ptr<AudioBackend>>())
{
}

AudioPlayerPtr OnDemandAudioBackend::createPlayer(const QUrl &source)
{
    if (*m_loaded)
        return (*m_loaded)->createPlayer(source);
    return AudioPlayerPtr(new PendingAudioPlayer(source, m_loader, m_loaded));
}

OnDemandVideoBackend::OnDemandVideoBackend(MediaLoader loader)
    : m_loader(std::move(loader)), m_loaded(std::make_shared<std::unique_ptr<VideoBackend>>())
{
}

VideoPlayerPtr OnDemandVideoBackend::createPlayer()
{
    if (*m_loaded)
        return (*m_loaded)->createPlayer();
    return VideoPlayerPtr(new PendingVideoPlayer(m_loader, m_loaded));
}

} // namespace nimbra
