#include "library/smartplaylistcards.h"

namespace nimbra {

SmartPlaylistCards::SmartPlaylistCards(QObject *parent)
    : QAbstractListModel(parent)
    , m_cards {SmartPlaylistInfo::of(SmartPlaylistKind::Wave), SmartPlaylistInfo::of(SmartPlaylistKind::Favorites),
          SmartPlaylistInfo::of(SmartPlaylistKind::Offline)}
{
}

int SmartPlaylistCards::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cards.size());
}

QVariant SmartPlaylistCards::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SmartPlaylistInfo &card = m_cards.at(index.row());
    switch (role) {
    case KindRole:
        return card.raw;
    case EmojiRole:
        return card.emoji;
    case Qt::DisplayRole:
    case TitleRole:
        return card.displayTitle;
    case SubtitleRole:
        return card.subtitle;
    default:
        return {};
    }
}

QHash<int, QByteArray> SmartPlaylistCards::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {KindRole, "kind"}, {EmojiRole, "emoji"}, {TitleRole, "title"}, {SubtitleRole, "subtitle"}};
    return names;
}

} // namespace nimbra
