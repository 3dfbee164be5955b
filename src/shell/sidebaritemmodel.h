#pragma once

#include "shell/sidebaritem.h"

#include <QAbstractListModel>

namespace nimbra {

// The sidebar's ten rows with the selected one marked.
class SidebarItemModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { ItemRole = Qt::UserRole + 1, TitleRole, IconRole, IsSelectedRole };

    explicit SidebarItemModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    SidebarItem selection() const { return m_selection; }
    void setSelection(SidebarItem item);

private:
    SidebarItem m_selection = SidebarItem::Home;
};

} // namespace nimbra
