#pragma once

#include "api/catalogrecords.h"

#include <QList>

#include <optional>

namespace nimbra {

// The album records that screens hold, by id. Navigation opens an album by
// its id; the album page finds here the record its opener held (title,
// credit, year, cover) instead of asking the service for it again. A newer
// record of an id replaces the older. Main thread only.
class AlbumDirectory
{
public:
    static void remember(const AlbumOut &album);
    static void remember(const QList<AlbumOut> &albums);
    static std::optional<AlbumOut> find(const QString &id);
    // Forgets every record (tests).
    static void clear();
};

} // namespace nimbra
