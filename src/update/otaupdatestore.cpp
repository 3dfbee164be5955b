#include "update/otaupdatestore.h"

#include "api/boundary.h"
#include "update/buildinfo.h"
#include "update/otaservice.h"
#include "update/updatedownload.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace nimbra {

OtaUpdateStore::OtaUpdateStore(QObject *parent)
    : QObject(parent), m_currentBuild(BuildInfo::buildNumber()), m_opener(desktopFileOpener())
{
}

OtaUpdateStore::~OtaUpdateStore()
{
    m_lifetime.cancel();
    // A folder whose download failed, or that never got its file, is not
    // left behind; rmdir refuses one that holds a file.
    if (m_folder)
        QDir().rmdir(m_folder->path());
}

void OtaUpdateStore::setAvailableManifest(std::optional<OtaManifest> manifest)
{
    if (m_manifest == manifest)
        return;
    m_manifest = std::move(manifest);
    emit availableManifestChanged();
}

QString OtaUpdateStore::version() const
{
    return BuildInfo::version();
}

QString OtaUpdateStore::build() const
{
    return BuildInfo::build();
}

QString OtaUpdateStore::versionLine() const
{
    return BuildInfo::versionLine();
}

void OtaUpdateStore::setChecking(bool checking)
{
    assignAndNotify(this, m_checking, checking, &OtaUpdateStore::isCheckingChanged);
}

void OtaUpdateStore::setDownloading(bool downloading)
{
    assignAndNotify(this, m_downloading, downloading, &OtaUpdateStore::isDownloadingChanged);
}

void OtaUpdateStore::setDownloadProgress(double progress)
{
    assignAndNotify(this, m_progress, progress, &OtaUpdateStore::downloadProgressChanged);
}

// A null text (none) and an empty one read alike in QML; the store only
// ever sets null or a real text.
void OtaUpdateStore::setStatusMessage(const QString &text)
{
    assignAndNotify(this, m_statusMessage, text, &OtaUpdateStore::statusMessageChanged);
}

void OtaUpdateStore::setErrorText(const QString &text)
{
    assignAndNotify(this, m_errorText, text, &OtaUpdateStore::errorTextChanged);
}

void OtaUpdateStore::checkUpdates(bool silent)
{
    checkUpdatesAsync(silent);
}

QCoro::Task<void> OtaUpdateStore::checkUpdatesAsync(bool silent)
{
    if (m_checking)
        co_return;
    // The start-up check is the first chance of every run to tidy up.
    removeEmptyEarlierFolders();
    setChecking(true);
    setStatusMessage(QString());
    setErrorText(QString());

    QPointer<OtaUpdateStore> self(this);
    const CancelToken lifetime = m_lifetime;
    const Outcome<OtaManifest> manifest = co_await runAtBoundary(OtaService::fetchManifest(lifetime));
    if (!self || lifetime.isCancelled())
        co_return;

    if (manifest && m_currentBuild < manifest.value->versionCode)
        setAvailableManifest(manifest.value);
    else if (manifest && !silent)
        setStatusMessage(u"У вас установлена последняя версия (build %1)"_s.arg(m_currentBuild));
    else if (!manifest && !silent)
        setErrorText(manifest.errorText);
    setChecking(false);
    emit checkFinished(silent);
}

void OtaUpdateStore::downloadAndInstall()
{
    downloadAndInstallAsync();
}

QString OtaUpdateStore::downloadFolder() const
{
    return m_folder ? m_folder->path() : QString();
}

QString OtaUpdateStore::ensureDownloadFolder()
{
    // A folder that went meanwhile (a cleaner of the temporary folder, the
    // listener) is made anew.
    if (m_folder && !QFileInfo(m_folder->path()).isDir())
        m_folder.reset();
    if (!m_folder) {
        removeEmptyEarlierFolders();
        // mkdtemp: a fresh folder only this user may enter. It stays after
        // the program ends, for the installer that may still be reading it.
        auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/"_s + folderPrefix + u"XXXXXX"_s);
        if (!folder->isValid()) {
            setErrorText(UpdateDownload::failureText(u"не удалось создать папку для загрузки"_s));
            return {};
        }
        folder->setAutoRemove(false);
        m_folder = std::move(folder);
    }
    return m_folder->path();
}

QCoro::Task<void> OtaUpdateStore::downloadAndInstallAsync()
{
    // One download at a time, whoever asks.
    if (!m_manifest || m_downloading)
        co_return;
    const QUrl url(m_manifest->downloadUrl, QUrl::StrictMode);
    // Text that does not parse, a file on this machine or a path with no
    // server can never be fetched: say so, or the button does nothing.
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        setErrorText(UpdateDownload::failureText(u"неверный адрес загрузки"_s));
        co_return;
    }
    if (!OtaService::isAllowedAddress(url)) {
        setErrorText(UpdateDownload::unsafeAddressText());
        co_return;
    }
    const QString folder = ensureDownloadFolder();
    if (folder.isEmpty())
        co_return;

    setDownloading(true);
    setDownloadProgress(-1);
    setErrorText(QString());
    setStatusMessage(QString());

    QPointer<OtaUpdateStore> self(this);
    const CancelToken lifetime = m_lifetime;
    const std::function<void(double)> progress = [self](double fraction) {
        if (self)
            self->setDownloadProgress(fraction);
    };
    QCoro::Task<QString> request = UpdateDownload::save(url, folder, progress, lifetime);
    const Outcome<QString> saved = co_await runAtBoundary(std::move(request));
    if (!self || lifetime.isCancelled())
        co_return;

    if (saved) {
        setDownloadProgress(1.0);
        // The offer stays while the file could not be opened, so that the
        // strip can say where it lies.
        if (install(*saved.value))
            setAvailableManifest(std::nullopt);
    } else {
        setErrorText(saved.errorText);
    }
    setDownloading(false);
    emit downloadFinished();
}

bool OtaUpdateStore::install(const QString &path)
{
    if (m_opener && m_opener(path))
        return true;
    setErrorText(u"Не удалось открыть обновление. Файл сохранён в папке "_s
        + QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    return false;
}

void OtaUpdateStore::removeEmptyEarlierFolders()
{
    if (m_earlierFoldersRemoved)
        return;
    m_earlierFoldersRemoved = true;
    // Folders of earlier runs whose download failed or whose file the
    // listener removed; a folder with anything in it may still serve an
    // installer and stays (rmdir refuses it), and so does a fresh one that
    // another running client may be about to fill.
    const QDateTime settled = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QDir temp(QDir::tempPath());
    const QStringList earlier
        = temp.entryList({QString::fromLatin1(folderPrefix) + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : earlier) {
        const QFileInfo info(temp.filePath(name));
        if (info.isDir() && !info.isSymLink() && info.lastModified().toUTC() < settled)
            temp.rmdir(name);
    }
}

} // namespace nimbra
