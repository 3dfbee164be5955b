#include "format/russianplural.h"

namespace nimbra {

QString russianPlural(qint64 n, const QString &one, const QString &few, const QString &many)
{
    const qint64 magnitude = n < 0 ? -(n % 100) : n % 100;
    if (magnitude >= 11 && magnitude <= 14)
        return many;
    const qint64 last = magnitude % 10;
    if (last == 1)
        return one;
    if (last >= 2 && last <= 4)
        return few;
    return many;
}

QString russianCount(qint64 n, const QString &one, const QString &few, const QString &many)
{
    return QString::number(n) + u' ' + russianPlural(n, one, few, many);
}

} // namespace nimbra
