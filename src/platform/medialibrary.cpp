#include "platform/medialibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <atomic>
#include <dlfcn.h>

namespace nimbra {

namespace {

std::atomic<MediaEntry *> loadedEntry {nullptr};

// Next to the core library, in the build tree and where it is installed.
QString libraryPath()
{
    Dl_info info {};
    if (!dladdr(reinterpret_cast<void *>(&MediaLibrary::entry), &info) || !info.dli_fname)
        return QStringLiteral(NIMBRA_MEDIA_FILE);
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).dir().filePath(QStringLiteral(NIMBRA_MEDIA_FILE));
}

} // namespace

MediaEntry &MediaLibrary::entry()
{
    if (MediaEntry *entry = loadedEntry.load())
        return *entry;
    // Kept loaded for the life of the process.
    static QLibrary library(libraryPath());
    using EntryFunction = MediaEntry *(*)();
    auto find = reinterpret_cast<EntryFunction>(library.resolve("nimbraMediaEntry"));
    MediaEntry *entry = find ? find() : nullptr;
    if (!entry)
        qFatal("nimbra: the media library could not be loaded: %s", qPrintable(library.errorString()));
    loadedEntry.store(entry);
    return *entry;
}

bool MediaLibrary::isLoaded()
{
    return loadedEntry.load() != nullptr;
}

AudioPlayerPtr OnDemandAudioBackend::createPlayer(const QUrl &source)
{
    if (!m_loaded)
        m_loaded = MediaLibrary::entry().createAudioBackend();
    return m_loaded->createPlayer(source);
}

} // namespace nimbra
