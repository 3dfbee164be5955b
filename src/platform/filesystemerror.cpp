#include "platform/filesystemerror.h"

#include <QFileDevice>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace nimbra {

QString diskFullText()
{
    return u"на диске не хватает места"_s;
}

QString fileErrorText(const QFileDevice &file)
{
    // Qt keeps no code of its own for a full disk; the C library's is still
    // there right after the failed call.
    const int cause = errno;
    if (cause == ENOSPC || cause == EDQUOT)
        return diskFullText();
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return u"не удалось создать файл"_s;
    case QFileDevice::ResourceError:
        return diskFullText();
    case QFileDevice::WriteError:
        return u"не удалось записать файл"_s;
    case QFileDevice::RenameError:
    case QFileDevice::CopyError:
        return u"не удалось сохранить файл"_s;
    default:
        return u"ошибка файловой системы"_s;
    }
}

} // namespace nimbra
