#pragma once

#include "api/canceltoken.h"

#include <QString>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <functional>

namespace nimbra {

// One installer download, streamed to disk: the bytes go into a QSaveFile
// as they arrive, so memory stays flat whatever the server announces, and
// the file shows under its name only once it is whole, replacing one saved
// there before only then. It is saved only when known whole: its announced
// length received, or a chunked body that ended as such. A status outside
// 2xx, a body shorter than its announced length, one without a length that
// broke off or ended only where its connection closed, a redirect to an
// address the client may not fetch and any write failure end it with an
// error; a file saved there before stays as it was.
class UpdateDownload
{
public:
    // The address's last path component when it is a safe installer name,
    // else the system's fallback name.
    static QString fileNameFor(const QUrl &url);
    // A plain name (no folder, not hidden, no control, line-break or
    // direction characters) that ends in an installer's extension:
    // ".AppImage", ".deb", ".rpm", ".tar.gz", ".tar.xz" or ".zip".
    static bool isSafeFileName(const QString &name);
    // "Не удалось загрузить обновление: " + reason.
    static QString failureText(const QString &reason);
    // The failure of an address the client may not fetch from.
    static QString unsafeAddressText();

    // Saves url into folder (an existing private folder) and returns the
    // whole file's path. progress gets the fraction received so far while
    // the length is known. Throws OtaError (downloadFailed) for every
    // failure, ApiError network(Cancelled) once cancel fires.
    static QCoro::Task<QString> save(
        QUrl url, QString folder, std::function<void(double progress)> progress, CancelToken cancel = {});
};

} // namespace nimbra
