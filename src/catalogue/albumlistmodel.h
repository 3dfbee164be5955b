#pragma once

#include "api/catalogrecords.h"

#include <QAbstractListModel>
#include <QList>

namespace nimbra {

// A list of albums as QML shows it, one row per record with its cover
// address resolved.
class AlbumListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        AlbumIdRole = Qt::UserRole + 1,
        TitleRole,
        ArtistRole,
        CoverUrlRole,
        YearRole,
    };
    Q_ENUM(Role)

    explicit AlbumListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_albums.size()); }
    const QList<AlbumOut> &albums() const { return m_albums; }
    void setAlbums(QList<AlbumOut> albums);

    // "2024": plain digits, whatever the locale; empty without a year.
    static QString yearText(const std::optional<qint64> &year);

signals:
    void countChanged();

private:
    QList<AlbumOut> m_albums;
};

} // namespace nimbra
