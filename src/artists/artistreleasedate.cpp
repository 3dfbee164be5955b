// The release date as the artist page writes it.

#include "artists/artistcataloglogic.h"
#include "format/russiandate.h"

namespace nimbra {

std::optional<QString> ArtistCatalogLogic::formatRuReleaseDate(const std::optional<QDateTime> &date)
{
    if (!date || !date->isValid())
        return std::nullopt;
    return russianLongDate(date->toLocalTime().date());
}

} // namespace nimbra
