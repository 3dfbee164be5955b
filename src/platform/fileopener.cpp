#include "platform/fileopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace nimbra {

FileOpener desktopFileOpener()
{
    return [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

} // namespace nimbra
