#pragma once

#include <QString>
#include <QtGlobal>

namespace devservice {

// The date texts the real service is known to send. The client must read
// the zoned form with a fraction and the bare form without zone; the
// catalogue mixes them so that both paths are exercised.
enum class DateShape : quint8 {
    None, // the field is null
    UtcMillis, // 2026-11-30T18:00:00.123Z
    OffsetMicros, // 2026-11-30T21:00:00.123456+03:00 (same instant)
    Bare, // 2026-11-30T18:00:00, read as UTC
};

QString formatServiceDate(qint64 msecsSinceEpoch, DateShape shape);

} // namespace devservice
