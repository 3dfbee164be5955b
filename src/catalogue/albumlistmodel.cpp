#include "catalogue/albumlistmodel.h"

#include "tracks/rowtext.h"

namespace nimbra {

AlbumListModel::AlbumListModel(QObject *parent) : QAbstractListModel(parent) { }

int AlbumListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_albums.size());
}

QVariant AlbumListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AlbumOut &album = m_albums.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return rowText(album.title);
    case AlbumIdRole:
        return album.id;
    case ArtistRole:
        return rowText(album.artist);
    case CoverUrlRole:
        return album.coverAddress();
    case YearRole:
        return yearText(album.year);
    default:
        return {};
    }
}

QHash<int, QByteArray> AlbumListModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {AlbumIdRole, "albumId"},
        {TitleRole, "title"},
        {ArtistRole, "artist"},
        {CoverUrlRole, "coverUrl"},
        {YearRole, "year"},
    };
    return names;
}

void AlbumListModel::setAlbums(QList<AlbumOut> albums)
{
    const qsizetype before = m_albums.size();
    beginResetModel();
    m_albums = std::move(albums);
    endResetModel();
    if (before != m_albums.size())
        emit countChanged();
}

QString AlbumListModel::yearText(const std::optional<qint64> &year)
{
    return year ? QString::number(*year) : QString();
}

} // namespace nimbra
