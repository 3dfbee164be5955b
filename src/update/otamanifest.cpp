#include "otamanifest.h"

using namespace Qt::StringLiterals;

namespace nimbra {

QVariantMap OtaManifest::toVariantMap() const
{
    QVariantMap map {{u"versionCode"_s, versionCode}, {u"downloadURL"_s, downloadURL}};
    if (versionName)
        map.insert(u"versionName"_s, *versionName);
    if (releaseNotes)
        map.insert(u"releaseNotes"_s, *releaseNotes);
    return map;
}

} // namespace nimbra
