#pragma once

#include "library/smartplaylistkind.h"

#include <QAbstractListModel>

namespace nimbra {

// The smart playlists' cards of the playlists screen: the wave, the
// favourites and the offline list, in that order (the daily list has its
// card on the home page). Roles: kind (the raw text), emoji, title, subtitle.
class SmartPlaylistCards : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { KindRole = Qt::UserRole + 1, EmojiRole, TitleRole, SubtitleRole };
    Q_ENUM(Role)

    explicit SmartPlaylistCards(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<SmartPlaylistInfo> m_cards;
};

} // namespace nimbra
