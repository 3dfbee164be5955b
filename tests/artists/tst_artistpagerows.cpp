// The artist page as the rows of one list: which rows a page has, a list
// expanded or a grid narrowed changing only the rows that differ (so the
// view keeps its place), and a track's change reaching its row.
#include "artists/artistpagerows.h"
#include "tracks/tracklistmodel.h"

#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

using Kind = ArtistPageRows::Kind;

namespace {

QStringList describe(const ArtistPageRows &rows)
{
    QStringList out;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const QModelIndex at = rows.index(i);
        QString text = rows.data(at, ArtistPageRows::KindRole).toString();
        if (text == u"track"_s)
            text += QString::number(rows.data(at, ArtistPageRows::ItemRole).toInt());
        if (text == u"albums"_s)
            text += u"%1:%2+%3"_s.arg(rows.data(at, ArtistPageRows::SectionRole).toInt())
                        .arg(rows.data(at, ArtistPageRows::ItemRole).toInt())
                        .arg(rows.data(at, ArtistPageRows::ItemCountRole).toInt());
        out.append(text);
    }
    return out;
}

} // namespace

class TestArtistPageRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void rowsOfAPage()
    {
        TrackListModel tracks(TrackStores {});
        ArtistPageRows rows(&tracks);
        QAbstractItemModelTester tester(&rows);
        rows.setColumns(2);

        rows.setShape({}, true);
        QCOMPARE(describe(rows), QStringList {u"header"_s});

        rows.setShape({true, 2, false, 3, 1}, true);
        QCOMPARE(describe(rows),
            (QStringList {u"header"_s, u"release"_s, u"tracksTitle"_s, u"track0"_s, u"track1"_s,
                u"discographyTitle"_s, u"albums0:0+2"_s, u"albums0:2+1"_s, u"featTitle"_s, u"albums1:0+1"_s}));
        // Only the first block after the header is marked as first; every
        // block's opening row is marked as opening.
        QVERIFY(rows.data(rows.index(1), ArtistPageRows::FirstBlockRole).toBool());
        QVERIFY(!rows.data(rows.index(2), ArtistPageRows::FirstBlockRole).toBool());
        QVERIFY(rows.data(rows.index(2), ArtistPageRows::OpensBlockRole).toBool());
        QVERIFY(!rows.data(rows.index(3), ArtistPageRows::OpensBlockRole).toBool());
        QCOMPARE(rows.rowOf(Kind::Albums, 2), 7);
        QCOMPARE(rows.rowOf(Kind::TracksToggle), -1);
    }

    // Expanding inserts the tracks after the fifth in place; a narrower
    // grid regroups only the album rows; another page starts afresh.
    void changesKeepTheRowsThatStay()
    {
        TrackListModel tracks(TrackStores {});
        ArtistPageRows rows(&tracks);
        QAbstractItemModelTester tester(&rows);
        rows.setColumns(3);
        rows.setShape({false, 5, true, 4, 0}, true);
        QSignalSpy resets(&rows, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&rows, &QAbstractItemModel::rowsRemoved);

        rows.setShape({false, 8, true, 4, 0}, false);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 7); // after header, title and five tracks
        QCOMPARE(inserted.at(0).at(2).toInt(), 9);
        QCOMPARE(rows.rowOf(Kind::TracksToggle), 10);

        inserted.clear();
        rows.setColumns(2);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(describe(rows).mid(11), (QStringList {u"discographyTitle"_s, u"albums0:0+2"_s, u"albums0:2+2"_s}));
        QCOMPARE(removed.at(0).at(1).toInt(), 12);
        QCOMPARE(inserted.at(0).at(1).toInt(), 12);

        rows.setShape({false, 1, false, 0, 0}, true);
        QCOMPARE(resets.size(), 1);
        QCOMPARE(describe(rows), (QStringList {u"header"_s, u"tracksTitle"_s, u"track0"_s}));
    }

    // A track row answers the track list's roles, and says so when its
    // track changes (a heart given in another list).
    void trackRowsFollowTheirTracks()
    {
        TrackListModel tracks(TrackStores {});
        tracks.setTracks(makeTracks({u"t1"_s, u"t2"_s, u"t3"_s}));
        ArtistPageRows rows(&tracks);
        rows.setShape({false, 2, true, 0, 0}, true);
        const int second = rows.rowOf(Kind::Track, 1);
        QCOMPARE(rows.data(rows.index(second), TrackListModel::TrackIdRole).toString(), u"t2"_s);
        QCOMPARE(rows.data(rows.index(0), TrackListModel::TrackIdRole), QVariant());
        QVERIFY(rows.roleNames().values().contains("trackId"));

        QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
        tracks.replaceById(tracks.trackAt(1).withFavorite(true));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), second);
        QVERIFY(rows.data(rows.index(second), TrackListModel::IsFavoriteRole).toBool());

        // The third track has no row while the list is collapsed.
        changed.clear();
        tracks.replaceById(tracks.trackAt(2).withFavorite(true));
        QCOMPARE(changed.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestArtistPageRows)
#include "tst_artistpagerows.moc"
