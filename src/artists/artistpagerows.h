#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QPointer>

namespace nimbra {

class TrackListModel;

// The artist page as the rows of one virtualised list: the header, the
// latest release, the title and rows of "Все треки" with their toggle, and
// the album sections as a title and rows of `columns` albums each. The view
// creates only the rows near what is on screen, so the covers far below are
// neither made nor fetched until scrolled to.
//
// A track row answers the track list's roles for its track as well, and
// changes with it. Expanding the list or another column count inserts and
// removes rows in place; only another page resets the whole list.
class ArtistPageRows : public QAbstractListModel
{
    Q_OBJECT
    // Albums per grid row; set by the view from its width.
    Q_PROPERTY(int columns READ columns WRITE setColumns NOTIFY columnsChanged)

public:
    enum class Kind { Header, LatestRelease, TracksTitle, Track, TracksToggle, DiscographyTitle, FeatTitle, Albums };
    enum Role {
        KindRole = Qt::UserRole + 100,
        // Track rows: the row of the track list; album rows: the first album's row.
        ItemRole,
        // Album rows: how many albums the row holds.
        ItemCountRole,
        // Album rows: 0 for the discography, 1 for the albums with the artist.
        SectionRole,
        // The first row of a block of the page (the space above it is wider).
        OpensBlockRole,
        // The first row after the header.
        FirstBlockRole,
    };
    Q_ENUM(Role)

    // What the page holds, as far as the rows go.
    struct Shape
    {
        bool hasLatestRelease = false;
        int shownTracks = 0;
        bool hasToggle = false;
        int artAlbums = 0;
        int featAlbums = 0;

        bool operator==(const Shape &) const = default;
    };

    ArtistPageRows(TrackListModel *tracks, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int columns() const { return m_columns; }
    void setColumns(int columns);
    // anotherPage: the list starts afresh; otherwise only the rows that
    // differ are removed and inserted.
    void setShape(const Shape &shape, bool anotherPage);

    // The list row of a kind (with its item for track and album rows), or -1.
    Q_INVOKABLE int rowOf(nimbra::ArtistPageRows::Kind kind, int item = 0) const;
    static QString kindName(Kind kind);

signals:
    void columnsChanged();

private:
    struct Row
    {
        Kind kind = Kind::Header;
        int item = 0;
        int count = 0;
        int section = 0;
        bool opensBlock = false;
        bool firstBlock = false;

        bool operator==(const Row &) const = default;
    };

    QList<Row> build() const;
    void apply(QList<Row> next);
    void forwardTrackChange(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);

    QPointer<TrackListModel> m_tracks;
    Shape m_shape;
    int m_columns = 1;
    QList<Row> m_rows;
};

} // namespace nimbra
