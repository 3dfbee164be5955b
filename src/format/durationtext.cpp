#include "format/durationtext.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

double sanitizedSeconds(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

QString durationText(double seconds)
{
    const double whole = std::floor(sanitizedSeconds(seconds));
    const auto text = [](const QString &minutes, int rest) {
        return minutes + QLatin1Char(':') + u"%1"_s.arg(rest, 2, 10, QLatin1Char('0'));
    };
    // Exact up to 2^64 seconds, which a signed whole number could not hold;
    // beyond that in doubles, whose whole values are exact too.
    if (whole < 18446744073709551616.0) {
        const auto n = quint64(whole);
        return text(QString::number(n / 60), int(n % 60));
    }
    const double rest = std::fmod(whole, 60.0);
    return text(QString::number(std::floor(whole / 60.0), 'f', 0), int(rest));
}

QString wholeSecondsText(double seconds)
{
    return QString::number(qint64(std::trunc(seconds))) + u" с"_s;
}

} // namespace nimbra
