#include "russianplural.h"

using namespace Qt::StringLiterals;

namespace nimbra::RussianPlural {

QString form(qint64 n, const QString &one, const QString &few, const QString &many)
{
    const qint64 r100 = n % 100;
    const qint64 r10 = n % 10;
    if (r100 >= 11 && r100 <= 14)
        return many;
    if (r10 == 1)
        return one;
    if (r10 >= 2 && r10 <= 4)
        return few;
    return many;
}

QString tracks(qint64 n)
{
    return QString::number(n) + u' ' + form(n, u"трек"_s, u"трека"_s, u"треков"_s);
}

} // namespace nimbra::RussianPlural
