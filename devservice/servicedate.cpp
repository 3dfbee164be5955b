#include "servicedate.h"

#include <QDateTime>

namespace devservice {

QString formatServiceDate(qint64 msecsSinceEpoch, DateShape shape)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC);
    switch (shape) {
    case DateShape::None:
        return QString();
    case DateShape::UtcMillis:
        return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + QLatin1Char('Z');
    case DateShape::OffsetMicros: {
        const QDateTime moscow = utc.toOffsetFromUtc(3 * 3600);
        // The fraction gets three more digits derived from the instant, as a
        // service that stores microseconds would send.
        const int micros = int((msecsSinceEpoch / 7) % 1000);
        return moscow.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
            + QStringLiteral("%1+03:00").arg(micros, 3, 10, QLatin1Char('0'));
    }
    case DateShape::Bare:
        return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    }
    return QString();
}

} // namespace devservice
