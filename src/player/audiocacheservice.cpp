#include "player/audiocacheservice.h"

#include "platform/filesystemerror.h"

#include "api/apierror.h"
#include "api/tokenorigins.h"
#include "api/transfer.h"
#include "player/audiocacheerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

constexpr QLatin1StringView extension = ".audio"_L1;
constexpr QLatin1StringView encodedMarker = "~"_L1;
// Unfinished downloads: hidden, and never taken for a track's copy.
constexpr QLatin1StringView partPrefix = ".download-"_L1;
constexpr QLatin1StringView partSuffix = ".part"_L1;

constexpr auto base64Options = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

bool isPartName(const QString &name)
{
    return name.startsWith(partPrefix) && name.endsWith(partSuffix);
}

bool isPlainFileName(const QString &id)
{
    return !id.isEmpty() && id != "."_L1 && id != ".."_L1 && !id.startsWith(encodedMarker)
        && !id.contains(QLatin1Char('/')) && !id.contains(QLatin1Char('\\')) && !id.contains(QChar(0));
}

// The copies are the listener's alone, as each file is (0600): the folder
// is made 0700, and one made open to others by an earlier version is
// closed. Failures show up at the first save.
void makePrivateFolder(const QString &path)
{
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    constexpr QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    if (!QFileInfo(path).isDir()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QDir().mkdir(path, ownerOnly);
    } else if (QFile::permissions(path) & others) {
        QFile::setPermissions(path, ownerOnly);
    }
}

} // namespace

QString AudioCacheService::defaultCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/audio_cache"_s;
}

AudioCacheService::AudioCacheService(QString cacheDir, QObject *parent)
    : QObject(parent), m_cacheDir(std::move(cacheDir))
{
    makePrivateFolder(m_cacheDir);
    QDir dir(m_cacheDir);
    // Leftovers of a crash. Another running client may be writing its own
    // partial files here right now; only those untouched for a day are
    // surely dead.
    const QDateTime stale = QDateTime::currentDateTimeUtc().addDays(-1);
    const QFileInfoList parts = dir.entryInfoList({partPrefix + u"*"_s + partSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &part : parts) {
        if (part.lastModified().toUTC() < stale)
            QFile::remove(part.filePath());
    }
}

AudioCacheService *AudioCacheService::shared()
{
    static AudioCacheService *service = new AudioCacheService(defaultCacheDir(), QCoreApplication::instance());
    return service;
}

QString AudioCacheService::fileNameFor(const QString &id)
{
    if (isPlainFileName(id))
        return id + extension;
    return encodedMarker + QString::fromLatin1(id.toUtf8().toBase64(base64Options)) + extension;
}

QString AudioCacheService::idForFileName(const QString &fileName)
{
    // The last extension goes, whatever it is; a leading dot is no extension.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    if (!base.startsWith(encodedMarker))
        return base;
    const auto decoded = QByteArray::fromBase64Encoding(
        base.mid(encodedMarker.size()).toLatin1(), base64Options | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return base;
    const QString id = QString::fromUtf8(*decoded);
    // Only a name this service wrote stands for another id.
    return fileNameFor(id) == base + extension ? id : base;
}

QString AudioCacheService::pathFor(const QString &id) const
{
    return m_cacheDir + QLatin1Char('/') + fileNameFor(id);
}

std::optional<QUrl> AudioCacheService::localUrl(const QString &id) const
{
    const QString path = pathFor(id);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return QUrl::fromLocalFile(path);
}

void AudioCacheService::removeCached(const QString &id)
{
    if (!localUrl(id))
        return;
    if (QFile::remove(pathFor(id)))
        emit cacheChanged(id);
}

QSet<QString> AudioCacheService::cachedTrackIds() const
{
    QSet<QString> ids;
    const QStringList names
        = QDir(m_cacheDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!isPartName(name))
            ids.insert(idForFileName(name));
    }
    return ids;
}

QCoro::Task<QUrl> AudioCacheService::downloadTrack(
    QString id, QUrl from, std::optional<QString> token, CancelToken cancel)
{
    if (const auto local = localUrl(id))
        co_return *local;
    if (cancel.isCancelled())
        throw ApiError::network(ApiError::NetworkFailure::Cancelled);

    QPointer<AudioCacheService> self(this);
    const QString destination = pathFor(id);
    // The folder may have been removed since start; a save makes it again.
    makePrivateFolder(m_cacheDir);
    QTemporaryFile part(m_cacheDir + QLatin1Char('/') + partPrefix + u"XXXXXX"_s + partSuffix);
    if (!part.open())
        throw AudioCacheError::fileSystem(fileErrorText(part));

    Transfer transfer;
    transfer.url = from;
    transfer.bearerToken = token;
    transfer.tokenOrigin = TokenOrigins::originOf(token);
    transfer.idleLimit = requestTimeout;
    transfer.wholeLimit = resourceTimeout;
    transfer.maxRedirects = maxRedirects;
    // An answer that Qt sends again by itself may end at a cut without an
    // error, and a cut track would be kept as the listener's copy.
    // (A local file answers at once and is never sent again.)
    transfer.sendOnce = !from.isLocalFile();
    QString writeError;
    qint64 received = 0;
    // Streamed to disk as it arrives; a redirect starts the file over.
    transfer.sink = [&part, &writeError, &received](const QByteArray &chunk) {
        if (part.write(chunk) == chunk.size()) {
            received += chunk.size();
            return true;
        }
        writeError = fileErrorText(part);
        return false;
    };
    transfer.beforeRedirect = [&part, &received](const QUrl &) {
        part.resize(0);
        part.seek(0);
        received = 0;
        return true;
    };
    const TransferResult result = co_await send(std::move(transfer), cancel);

    if (!writeError.isEmpty())
        throw AudioCacheError::fileSystem(writeError);
    if (result.status && !result.isSuccess())
        throw AudioCacheError::httpError(*result.status);
    if (result.error != QNetworkReply::NoError)
        throw ApiError::network(ApiError::failureFor(result.error), result.errorText);
    // Kept only when known whole.
    if (result.status && (!result.bodyEndIsKnown() || received < result.announcedLength))
        throw ApiError::network(ApiError::NetworkFailure::ConnectionLost, u"Connection closed"_s);
    // A reply without an HTTP status (a local file) reaches no sink: its
    // body comes whole with the result.
    if (!result.status && part.write(result.body) != result.body.size())
        throw AudioCacheError::fileSystem(fileErrorText(part));
    if (!part.flush())
        throw AudioCacheError::fileSystem(fileErrorText(part));

    part.close();
    // Replaces any earlier copy in one step: a reader sees the old file or
    // the whole new one, never a part.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(part.fileName()).toStdString()),
        std::filesystem::path(QFile::encodeName(destination).toStdString()), error);
    if (error)
        throw AudioCacheError::fileSystem(
            error == std::errc::no_space_on_device ? diskFullText() : u"не удалось сохранить файл"_s);
    part.setAutoRemove(false);
    if (self)
        emit self->cacheChanged(id);
    co_return QUrl::fromLocalFile(destination);
}

} // namespace nimbra
