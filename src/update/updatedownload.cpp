#include "update/updatedownload.h"

#include "api/apierror.h"
#include "api/transfer.h"
#include "update/otaerror.h"
#include "update/otaservice.h"
#include "platform/filesystemerror.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// No byte for this long ends the download; a slow but moving one goes on,
// however long the whole takes.
constexpr std::chrono::milliseconds stallLimit {30000};
constexpr std::chrono::hours wholeLimit {24};
// Progress is published in steps of at least this much (and at the end),
// which is finer than any bar shows and spares a redraw per packet.
constexpr double progressStep = 0.005;

} // namespace

QString UpdateDownload::failureText(const QString &reason)
{
    return OtaError::downloadFailed(reason).description();
}

QString UpdateDownload::unsafeAddressText()
{
    return failureText(u"адрес загрузки не защищён (нужен https)"_s);
}

QString UpdateDownload::fileNameFor(const QUrl &url)
{
    // The component is cut from the encoded path and only then decoded, so
    // an encoded "/" ("%2F") cannot smuggle in a folder.
    const QString path = url.path(QUrl::FullyEncoded);
    const QString name = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(u'/') + 1).toUtf8());
    return isSafeFileName(name) ? name : OtaService::fallbackFileName();
}

bool UpdateDownload::isSafeFileName(const QString &name)
{
    static const QLatin1StringView installers[]
        = {".AppImage"_L1, ".deb"_L1, ".rpm"_L1, ".tar.gz"_L1, ".tar.xz"_L1, ".zip"_L1};
    if (name.toUtf8().size() > 255 || name.startsWith(u'.') || name.contains(u'/') || name.contains(u'\\'))
        return false;
    for (const QChar c : name) {
        // Control characters and line breaks, and the direction marks and
        // overrides that make a name read otherwise than it is ("gpj.exe"
        // shown as "exe.jpg").
        const ushort u = c.unicode();
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph
            || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F
            || u == 0x061C)
            return false;
    }
    for (const QLatin1StringView extension : installers) {
        if (name.size() > extension.size() && name.endsWith(extension))
            return true;
    }
    return false;
}

QCoro::Task<QString> UpdateDownload::save(
    QUrl url, QString folder, std::function<void(double progress)> progress, CancelToken cancel)
{
    const QString path = QDir(folder).filePath(fileNameFor(url));
    // Until commit() the bytes live in a temporary file beside the name,
    // which the save file removes when it goes uncommitted (an exception
    // included); a file saved earlier under the name is replaced only by a
    // whole new one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw OtaError::downloadFailed(fileErrorText(file));

    Transfer transfer;
    transfer.url = url;
    // The bytes counted must be the bytes announced, so the body comes as
    // sent, never decompressed on the way.
    transfer.headers.append(std::pair<QByteArray, QByteArray>("Accept-Encoding", "identity"));
    transfer.idleLimit = stallLimit;
    transfer.wholeLimit = wholeLimit;
    // An answer re-sent by Qt could end at a cut without an error.
    transfer.sendOnce = true;
    // Each hop must lead where the client may fetch from, like the address.
    transfer.beforeRedirect = [](const QUrl &target) { return OtaService::isAllowedAddress(target); };
    // Only a success body reaches the sink: an error answer is never saved.
    qint64 received = 0;
    QString writeError;
    transfer.sink = [&file, &received, &writeError](const QByteArray &chunk) {
        if (file.write(chunk) != chunk.size()) {
            writeError = fileErrorText(file);
            return false;
        }
        received += chunk.size();
        return true;
    };
    double published = -1;
    transfer.progress = [&progress, &published](qint64 bytes, qint64 total) {
        if (total < 1 || !progress)
            return;
        const double fraction = std::min(1.0, double(bytes) / double(total));
        if (fraction - published >= progressStep || (fraction >= 1.0 && published < 1.0)) {
            published = fraction;
            progress(fraction);
        }
    };
    const TransferResult result = co_await send(std::move(transfer), cancel);

    if (result.redirectRefused)
        throw OtaError::downloadFailed(u"адрес загрузки не защищён (нужен https)"_s);
    if (!writeError.isEmpty())
        throw OtaError::downloadFailed(writeError);
    if (result.status && !result.isSuccess())
        throw OtaError::downloadFailed(u"сервер ответил HTTP %1"_s.arg(*result.status));
    // A short body comes first: the transport's text for it (the connection
    // closed) would not say that the file is incomplete.
    if (result.announcedLength >= 0 && received < result.announcedLength) {
        throw OtaError::downloadFailed(
            u"файл получен не полностью (%1 из %2 байт)"_s.arg(received).arg(result.announcedLength));
    }
    // Whether or not the network layer calls the close an error.
    const bool closed = result.error == QNetworkReply::RemoteHostClosedError;
    // (No answer at all, even to the request sent again, had no size to
    // tell: the transport's own text below says what happened.)
    if (!result.bodyEndIsKnown() && (result.error == QNetworkReply::NoError || (closed && result.status)))
        throw OtaError::downloadFailed(u"сервер не сообщил размер файла, и проверить, получен ли он целиком, нельзя"_s);
    if (closed && result.announcedLength < 0 && received > 0)
        throw OtaError::downloadFailed(u"файл получен не полностью (связь прервалась после %1 байт)"_s.arg(received));
    if (result.error != QNetworkReply::NoError) {
        throw OtaError::downloadFailed(
            ApiError::network(ApiError::failureFor(result.error), result.errorText).description());
    }
    if (!file.commit())
        throw OtaError::downloadFailed(fileErrorText(file));
    co_return path;
}

} // namespace nimbra
