#include "artists/artistpagerows.h"

#include "tracks/tracklistmodel.h"

using namespace Qt::StringLiterals;

namespace nimbra {

ArtistPageRows::ArtistPageRows(TrackListModel *tracks, QObject *parent) : QAbstractListModel(parent), m_tracks(tracks)
{
    if (m_tracks)
        connect(m_tracks, &QAbstractItemModel::dataChanged, this, &ArtistPageRows::forwardTrackChange);
}

int ArtistPageRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ArtistPageRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case KindRole:
        return kindName(row.kind);
    case ItemRole:
        return row.item;
    case ItemCountRole:
        return row.count;
    case SectionRole:
        return row.section;
    case OpensBlockRole:
        return row.opensBlock;
    case FirstBlockRole:
        return row.firstBlock;
    default:
        break;
    }
    if (row.kind == Kind::Track && m_tracks)
        return m_tracks->data(m_tracks->index(row.item), role);
    return {};
}

QHash<int, QByteArray> ArtistPageRows::roleNames() const
{
    QHash<int, QByteArray> names = m_tracks ? m_tracks->roleNames() : QHash<int, QByteArray>();
    names.insert(KindRole, "kind");
    names.insert(ItemRole, "item");
    names.insert(ItemCountRole, "itemCount");
    names.insert(SectionRole, "section");
    names.insert(OpensBlockRole, "opensBlock");
    names.insert(FirstBlockRole, "firstBlock");
    return names;
}

QString ArtistPageRows::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Header:
        return u"header"_s;
    case Kind::LatestRelease:
        return u"release"_s;
    case Kind::TracksTitle:
        return u"tracksTitle"_s;
    case Kind::Track:
        return u"track"_s;
    case Kind::TracksToggle:
        return u"toggle"_s;
    case Kind::DiscographyTitle:
        return u"discographyTitle"_s;
    case Kind::FeatTitle:
        return u"featTitle"_s;
    case Kind::Albums:
        return u"albums"_s;
    }
    return {};
}

void ArtistPageRows::setColumns(int columns)
{
    columns = std::max(1, columns);
    if (columns == m_columns)
        return;
    m_columns = columns;
    emit columnsChanged();
    apply(build());
}

void ArtistPageRows::setShape(const Shape &shape, bool anotherPage)
{
    m_shape = shape;
    if (!anotherPage) {
        apply(build());
        return;
    }
    beginResetModel();
    m_rows = build();
    endResetModel();
}

int ArtistPageRows::rowOf(Kind kind, int item) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        if (row.kind != kind)
            continue;
        if (kind == Kind::Albums ? item >= row.item && item < row.item + row.count : row.item == item)
            return int(i);
    }
    return -1;
}

QList<ArtistPageRows::Row> ArtistPageRows::build() const
{
    QList<Row> rows {Row {Kind::Header}};
    bool first = true;
    auto openBlock = [&](Kind kind) {
        rows.append(Row {kind, 0, 0, 0, true, first});
        first = false;
    };
    if (m_shape.hasLatestRelease)
        openBlock(Kind::LatestRelease);
    if (m_shape.shownTracks > 0) {
        openBlock(Kind::TracksTitle);
        for (int i = 0; i < m_shape.shownTracks; ++i)
            rows.append(Row {Kind::Track, i});
        if (m_shape.hasToggle)
            rows.append(Row {Kind::TracksToggle});
    }
    const auto albumRows = [&](Kind title, int count, int section) {
        if (count <= 0)
            return;
        openBlock(title);
        for (int start = 0; start < count; start += m_columns)
            rows.append(Row {Kind::Albums, start, std::min(m_columns, count - start), section});
    };
    albumRows(Kind::DiscographyTitle, m_shape.artAlbums, 0);
    albumRows(Kind::FeatTitle, m_shape.featAlbums, 1);
    return rows;
}

void ArtistPageRows::apply(QList<Row> next)
{
    // The rows both lists share at their start and end stay, with their
    // items; only what lies between is removed and inserted, so the view
    // keeps its place.
    qsizetype head = 0;
    while (head < m_rows.size() && head < next.size() && m_rows.at(head) == next.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < m_rows.size() - head && tail < next.size() - head
        && m_rows.at(m_rows.size() - 1 - tail) == next.at(next.size() - 1 - tail))
        ++tail;
    const qsizetype removed = m_rows.size() - head - tail;
    const qsizetype inserted = next.size() - head - tail;
    if (removed > 0) {
        beginRemoveRows({}, int(head), int(head + removed - 1));
        m_rows.remove(head, removed);
        endRemoveRows();
    }
    if (inserted > 0) {
        beginInsertRows({}, int(head), int(head + inserted - 1));
        for (qsizetype i = 0; i < inserted; ++i)
            m_rows.insert(head + i, next.at(head + i));
        endInsertRows();
    }
}

void ArtistPageRows::forwardTrackChange(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    const int first = rowOf(Kind::Track, topLeft.row());
    int last = -1;
    for (int track = bottomRight.row(); track >= topLeft.row() && last < 0; --track)
        last = rowOf(Kind::Track, track);
    if (first >= 0 && last >= first)
        emit dataChanged(index(first), index(last), roles);
}

} // namespace nimbra
