#include "shell/sidebaritemmodel.h"

namespace nimbra {

SidebarItemModel::SidebarItemModel(QObject *parent) : QAbstractListModel(parent) { }

int SidebarItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(sidebarEntries().size());
}

QVariant SidebarItemModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SidebarEntry &entry = sidebarEntries()[size_t(index.row())];
    switch (role) {
    case ItemRole:
        // QML compares it with SidebarItem.Home and the like, which are numbers.
        return int(entry.item);
    case Qt::DisplayRole:
    case TitleRole:
        return entry.title.toString();
    case IconRole:
        return entry.icon.toString();
    case IsSelectedRole:
        return entry.item == m_selection;
    default:
        return {};
    }
}

QHash<int, QByteArray> SidebarItemModel::roleNames() const
{
    return {{ItemRole, "item"}, {TitleRole, "title"}, {IconRole, "symbol"}, {IsSelectedRole, "isSelected"}};
}

void SidebarItemModel::setSelection(SidebarItem item)
{
    if (m_selection == item)
        return;
    const SidebarItem before = m_selection;
    m_selection = item;
    for (SidebarItem changed : {before, item}) {
        const QModelIndex row = index(int(changed));
        emit dataChanged(row, row, {IsSelectedRole});
    }
}

} // namespace nimbra
