// The release date as the artist page writes it.

#include "artists/artistcataloglogic.h"
#include "format/russiandate.h"

namespace nimbra {

std::optional<QString> ArtistCatalogLogic::formatRuReleaseDate(const std::optional<QDateTime> &date)
{
    return russianLocalLongDate(date);
}

} // namespace nimbra
