#pragma once

#include "api/trackout.h"

#include <QVariantList>
#include <QVariantMap>

namespace nimbra {

// A track as QML reads it: the record's fields under their C++ names plus
// "isHiFi"; absent optional fields are left out.
QVariantMap trackToVariant(const TrackOut &track);
QVariantList tracksToVariant(const QList<TrackOut> &tracks);

} // namespace nimbra
