#include "catalogue/homereleasemodel.h"

#include "api/apiconfig.h"

namespace nimbra {

HomeReleaseModel::HomeReleaseModel(QObject *parent) : QAbstractListModel(parent) { }

int HomeReleaseModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant HomeReleaseModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const HomeReleaseItem &item = m_items.at(index.row());
    switch (role) {
    case ReleaseIdRole:
        return item.id;
    case Qt::DisplayRole:
    case TitleRole:
        return item.title;
    case ArtistLineRole:
        return item.artistLine;
    case CoverUrlRole:
        return ApiConfig::resolvedText(item.coverUrl);
    case SubtitleRole:
        return item.subtitle;
    case IsAlbumRole:
        return std::holds_alternative<AlbumOut>(item.target);
    default:
        return {};
    }
}

QHash<int, QByteArray> HomeReleaseModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {ReleaseIdRole, "releaseId"},
        {TitleRole, "title"},
        {ArtistLineRole, "artistLine"},
        {CoverUrlRole, "coverUrl"},
        {SubtitleRole, "subtitle"},
        {IsAlbumRole, "isAlbum"},
    };
    return names;
}

void HomeReleaseModel::setItems(QList<HomeReleaseItem> items)
{
    const qsizetype before = m_items.size();
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
    if (before != m_items.size())
        emit countChanged();
}

} // namespace nimbra
