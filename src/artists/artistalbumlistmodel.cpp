#include "artists/artistalbumlistmodel.h"

#include "api/apiconfig.h"
#include "artists/artistpagetext.h"

namespace nimbra {

ArtistAlbumListModel::ArtistAlbumListModel(QObject *parent) : QAbstractListModel(parent) { }

int ArtistAlbumListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_albums.size());
}

QVariant ArtistAlbumListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AlbumOut &album = m_albums.at(index.row());
    switch (role) {
    case AlbumIdRole:
        return album.id;
    case TitleRole:
        return album.title;
    case ArtistRole:
        return album.artist;
    case CoverUrlRole:
        return ApiConfig::resolvedText(album.coverUrl);
    case CaptionRole:
        return ArtistPageText::albumCaption(album, m_trackCounts.value(album.id, 0));
    }
    return {};
}

QHash<int, QByteArray> ArtistAlbumListModel::roleNames() const
{
    return {{AlbumIdRole, "albumId"}, {TitleRole, "title"}, {ArtistRole, "artist"}, {CoverUrlRole, "coverUrl"}, {CaptionRole, "yearAndTracks"}};
}

QVariantMap ArtistAlbumListModel::cell(int row) const
{
    QVariantMap values;
    const QModelIndex at = index(row);
    const QHash<int, QByteArray> names = roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        values.insert(QString::fromLatin1(it.value()), data(at, it.key()));
    return values;
}

void ArtistAlbumListModel::setAlbums(QList<AlbumOut> albums, QHash<QString, int> trackCounts)
{
    const int before = count();
    beginResetModel();
    m_albums = std::move(albums);
    m_trackCounts = std::move(trackCounts);
    endResetModel();
    if (count() != before)
        emit countChanged();
}

} // namespace nimbra
