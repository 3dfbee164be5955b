#pragma once

#include "api/accountrecords.h"

#include <QVariantMap>

namespace nimbra {

// Records as QML reads them: the record's field names as keys, an absent
// optional field left out (undefined in QML), dates as date values.
QVariantMap toVariantMap(const UserOut &user);
QVariantMap toVariantMap(const CustomRoleOut &role);
QVariantMap toVariantMap(const PlaylistOut &playlist);

} // namespace nimbra
