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

std::atomic<MediaEntry *> openedEntry {nullptr};
std::atomic<MediaEntry *> loadedEntry {nullptr};

struct Waiter
{
    QPointer<QObject> context;
    std::function<void(MediaEntry &)> ready;
};

// Main thread only.
bool loadStarted = false;
QList<Waiter> waiters;
QList<Waiter> openWaiters;

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
MediaEntry &openOnce()
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
        openedEntry.store(entry);
    });
    return *openedEntry.load();
}

MediaEntry &loadOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        MediaEntry &entry = openOnce();
        entry.prepare();
        loadedEntry.store(&entry);
    });
    return *loadedEntry.load();
}

void serve(QList<Waiter> &list, MediaEntry &entry)
{
    // A callback may ask for more (a stand-in made inside one is served at once).
    const QList<Waiter> due = std::exchange(list, {});
    for (const Waiter &waiter : due) {
        if (waiter.context)
            waiter.ready(entry);
    }
}

void handOutOpened()
{
    serve(openWaiters, *openedEntry.load());
}

void handOut()
{
    serve(waiters, *loadedEntry.load());
}

void startLoading()
{
    if (loadStarted)
        return;
    loadStarted = true;
    QThreadPool::globalInstance()->start([] {
        openOnce();
        QMetaObject::invokeMethod(QCoreApplication::instance(), &handOutOpened, Qt::QueuedConnection);
        loadOnce();
        QMetaObject::invokeMethod(QCoreApplication::instance(), &handOut, Qt::QueuedConnection);
    });
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
    startLoading();
}

void MediaLibrary::whenOpened(QObject *context, std::function<void(MediaEntry &)> ready)
{
    if (MediaEntry *entry = openedEntry.load(); entry && openWaiters.isEmpty()) {
        ready(*entry);
        return;
    }
    openWaiters.append({context, std::move(ready)});
    startLoading();
}

OnDemandAudioBackend::OnDemandAudioBackend(MediaLoader loader, MediaLoader opener)
    : m_loader(std::move(loader)),
      m_opener(std::move(opener)),
      m_loaded(std::make_shared<std::unique_ptr<AudioBackend>>())
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

// Its stream opens once the library is open, unless it is dropped before.
std::unique_ptr<QObject> OnDemandAudioBackend::readyOutput()
{
    auto output = std::make_unique<QObject>();
    QObject *holder = output.get();
    m_opener(holder, [holder](MediaEntry &media) { media.openIdleStream(holder); });
    return output;
}

VideoPlayerPtr OnDemandVideoBackend::createPlayer()
{
    if (*m_loaded)
        return (*m_loaded)->createPlayer();
    return VideoPlayerPtr(new PendingVideoPlayer(m_loader, m_loaded));
}

} // namespace nimbra
