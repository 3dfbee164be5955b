#pragma once

#include "api/catalogrecords.h"

#include <QAbstractListModel>
#include <QList>

namespace nimbra {

// The home page's new releases as QML shows them: one card per release,
// newest first. The records stay here; QML acts on a row by its index.
class HomeReleaseModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        ReleaseIdRole = Qt::UserRole + 1,
        TitleRole,
        ArtistLineRole,
        CoverUrlRole,
        SubtitleRole,
        IsAlbumRole,
    };
    Q_ENUM(Role)

    explicit HomeReleaseModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_items.size()); }
    const QList<HomeReleaseItem> &items() const { return m_items; }
    void setItems(QList<HomeReleaseItem> items);

signals:
    void countChanged();

private:
    QList<HomeReleaseItem> m_items;
};

} // namespace nimbra
