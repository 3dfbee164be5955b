#include "platform/mprisrootadaptor.h"

#include "platform/mprisservice.h"

namespace nimbra {

MprisRootAdaptor::MprisRootAdaptor(QObject *parent) : QDBusAbstractAdaptor(parent) { }

QString MprisRootAdaptor::identity() const
{
    return QString::fromLatin1(MprisService::identity);
}

QString MprisRootAdaptor::desktopEntry() const
{
    return QString::fromLatin1(MprisService::desktopEntry);
}

} // namespace nimbra
