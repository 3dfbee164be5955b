#include "update/otaupdatestore.h"

#include "api/boundary.h"
#include "update/buildinfo.h"
#include "update/otaservice.h"
#include "update/updatedownload.h"

#include <QDir>
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

void OtaUpdateStore::setError(const QString &text)
{
    assignAndNotify(this, m_error, text, &OtaUpdateStore::errorChanged);
}

void OtaUpdateStore::checkUpdates(bool silent)
{
    checkUpdatesAsync(silent);
}

QCoro::Task<void> OtaUpdateStore::checkUpdatesAsync(bool silent)
{
    if (m_checking)
        co_return;
    setChecking(true);
    setStatusMessage(QString());
    setError(QString());

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
        setError(manifest.errorText);
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
    if (!m_folder) {
        // mkdtemp: a fresh folder only this user may enter. It stays after
        // the program ends, for the installer that may still be reading it.
        auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/nimbra-update-XXXXXX"_s);
        if (!folder->isValid()) {
            setError(UpdateDownload::failureText(folder->errorString()));
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
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        co_return;
    if (!OtaService::isAllowedAddress(url)) {
        setError(UpdateDownload::unsafeAddressText());
        co_return;
    }
    const QString folder = ensureDownloadFolder();
    if (folder.isEmpty())
        co_return;

    setDownloading(true);
    setDownloadProgress(-1);
    setError(QString());
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
        setAvailableManifest(std::nullopt);
        setDownloadProgress(1.0);
        install(*saved.value);
    } else {
        setError(saved.errorText);
    }
    setDownloading(false);
    emit downloadFinished();
}

void OtaUpdateStore::install(const QString &path)
{
    if (!m_opener || !m_opener(path))
        setStatusMessage(u"Не удалось открыть обновление. Файл сохранён: "_s + QDir::toNativeSeparators(path));
}

} // namespace nimbra
