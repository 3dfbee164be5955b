// The release date as the artist page writes it.

#include "artists/artistcataloglogic.h"

using namespace Qt::StringLiterals;

namespace nimbra {

std::optional<QString> ArtistCatalogLogic::formatRuReleaseDate(const std::optional<QDateTime> &date)
{
    if (!date || !date->isValid())
        return std::nullopt;
    // The long Russian date names the month in the genitive. Written out here
    // so the text does not depend on which locales the system has installed.
    static const char16_t *const months[] = {u"января", u"февраля", u"марта", u"апреля", u"мая", u"июня", u"июля",
        u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    const QDate day = date->toLocalTime().date();
    return u"%1 %2 %3 г."_s.arg(day.day()).arg(QString::fromUtf16(months[day.month() - 1])).arg(day.year());
}

} // namespace nimbra
