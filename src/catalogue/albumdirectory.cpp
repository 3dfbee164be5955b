#include "catalogue/albumdirectory.h"

#include <QHash>

namespace nimbra {

namespace {

// Far above any catalogue's album count; only a runaway caller reaches it,
// and then the directory starts over rather than grow without bound.
constexpr qsizetype kMaxAlbums = 50000;

QHash<QString, AlbumOut> &albums()
{
    static QHash<QString, AlbumOut> directory;
    return directory;
}

} // namespace

void AlbumDirectory::remember(const AlbumOut &album)
{
    if (album.id.isEmpty())
        return;
    if (albums().size() >= kMaxAlbums && !albums().contains(album.id))
        albums().clear();
    albums().insert(album.id, album);
}

void AlbumDirectory::remember(const QList<AlbumOut> &list)
{
    for (const AlbumOut &album : list)
        remember(album);
}

std::optional<AlbumOut> AlbumDirectory::find(const QString &id)
{
    const auto it = albums().constFind(id);
    if (it == albums().cend())
        return std::nullopt;
    return *it;
}

void AlbumDirectory::clear()
{
    albums().clear();
}

} // namespace nimbra
