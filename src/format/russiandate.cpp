#include "format/russiandate.h"

#include <array>

using namespace Qt::StringLiterals;

namespace nimbra {

QString russianDayMonth(const QDate &date)
{
    static const std::array<QString, 12> months {u"января"_s, u"февраля"_s, u"марта"_s, u"апреля"_s, u"мая"_s,
        u"июня"_s, u"июля"_s, u"августа"_s, u"сентября"_s, u"октября"_s, u"ноября"_s, u"декабря"_s};
    if (!date.isValid())
        return QString();
    return QString::number(date.day()) + u' ' + months.at(std::size_t(date.month() - 1));
}

QString russianLongDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    return russianDayMonth(date) + u' ' + QString::number(date.year()) + u" г."_s;
}

std::optional<QString> russianLocalLongDate(const std::optional<QDateTime> &moment)
{
    if (!moment || !moment->isValid())
        return std::nullopt;
    return russianLongDate(moment->toLocalTime().date());
}

} // namespace nimbra
