#pragma once

#include "api/catalogrecords.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QVariantMap>

namespace nimbra {

// The albums of one grid of the artist page: the cover resolved, and the
// caption made of the year and the number of catalogue tracks.
class ArtistAlbumListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { AlbumIdRole = Qt::UserRole + 1, TitleRole, ArtistRole, CoverUrlRole, CaptionRole };
    Q_ENUM(Role)

    explicit ArtistAlbumListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_albums.size()); }
    // trackCounts: album id to its number of catalogue tracks (none: 0).
    void setAlbums(QList<AlbumOut> albums, QHash<QString, int> trackCounts);
    // One album by its roles' names, for a view that places cells itself.
    Q_INVOKABLE QVariantMap cell(int row) const;

signals:
    void countChanged();

private:
    QList<AlbumOut> m_albums;
    QHash<QString, int> m_trackCounts;
};

} // namespace nimbra
