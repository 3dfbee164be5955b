// The synced-lyrics panel's model: which line is lit at the edges of LRC
// and plain lyrics, the rows a tick touches, a click on a line, and where
// the column scrolls.
#include "eventloop.h"
#include "playerrig.h"
#include "api/storeregistry.h"
#include "testenv.h"

#include "player/lyricspanelmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using State = LyricsPanelModel::LineState;

namespace {

// A column of the current data row, where QFETCH's declaration does not fit.
template<typename T> T column(const char *name)
{
    return *static_cast<T *>(QTest::qData(name, qMetaTypeId<T>()));
}

const QString lrc = u"[00:12.00]first\n[00:20.50]second\n[00:20.50]same time\n[00:31.00]\n[00:40.00]last"_s;

QString plainLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << u"line %1"_s.arg(i);
    return lines.join(u'\n');
}

QList<State> states(const LyricsPanelModel &model)
{
    QList<State> result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.index(row).data(LyricsPanelModel::LineStateRole).value<State>();
    return result;
}

} // namespace

class TestLyricsPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }

    void activeLine_data()
    {
        QTest::addColumn<QString>("lyrics");
        QTest::addColumn<double>("duration");
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<int>("active");
        QTest::newRow("lrc before the first stamp") << lrc << 200.0 << 3.0 << 0;
        QTest::newRow("lrc exactly on a stamp") << lrc << 200.0 << 12.0 << 0;
        QTest::newRow("lrc just before a stamp") << lrc << 200.0 << 20.49 << 0;
        QTest::newRow("lrc equal stamps: the later line") << lrc << 200.0 << 20.5 << 2;
        QTest::newRow("lrc after the last") << lrc << 200.0 << 500.0 << 4;
        QTest::newRow("lrc ignores the duration") << lrc << 0.0 << 41.0 << 4;
        QTest::newRow("lrc infinite time counts as 0") << lrc << 200.0 << qInf() << 0;
        QTest::newRow("plain spread") << plainLines(10) << 200.0 << 45.0 << 2;
        QTest::newRow("plain at 0") << plainLines(10) << 200.0 << 0.0 << 0;
        QTest::newRow("plain at the end") << plainLines(10) << 200.0 << 200.0 << 9;
        QTest::newRow("plain past the end") << plainLines(10) << 200.0 << 999.0 << 9;
        QTest::newRow("plain without duration") << plainLines(10) << 0.0 << 45.0 << 0;
        QTest::newRow("plain negative time") << plainLines(10) << 200.0 << -4.0 << 0;
    }

    void activeLine()
    {
        QFETCH(double, duration);
        TrackOut track = makeTrack(u"a"_s, QString(), column<QString>("lyrics"));
        track.durationSeconds = int(duration);
        PlayerRig rig;
        rig.store->play(track, {track});
        StoreRegistry::set(rig.store.get());
        LyricsPanelModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_VERIFY(model.rowCount() > 0);
        rig.player()->tick(column<double>("elapsed"));
        QCOMPARE(model.activeIndex(), column<int>("active"));
    }

    // Rows keep their identity across ticks; a tick touches only the rows
    // whose state changed, and a hidden panel none.
    void rowsAndTicks()
    {
        TrackOut track = makeTrack(u"a"_s, QString(), lrc);
        PlayerRig rig;
        rig.store->play(track, {track});
        StoreRegistry::set(rig.store.get());
        LyricsPanelModel model;
        QTRY_COMPARE(model.rowCount(), 5);
        QVERIFY(model.isSynced());
        QVERIFY(!model.showsNote());
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(states(model), (QList {State::Active, State::Upcoming, State::Upcoming, State::Empty, State::Upcoming}));

        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        rig.player()->tick(13);
        QCOMPARE(changes.count(), 0);
        rig.player()->tick(21);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toModelIndex().row(), 0);
        QCOMPARE(changes.at(0).at(1).toModelIndex().row(), 2);
        // A blank line at the active position lights nothing.
        rig.player()->tick(35);
        QCOMPARE(states(model), (QList {State::Past, State::Past, State::Past, State::Empty, State::Upcoming}));

        model.setActive(false);
        rig.player()->tick(45);
        QCOMPARE(model.activeIndex(), 3);
        model.setActive(true);
        QCOMPARE(model.activeIndex(), 4);
        QCOMPARE(resets.count(), 0);

        // New lyrics (a new track) replace every row at once.
        rig.store->setCurrentLyrics(plainLines(4));
        QTRY_COMPARE(resets.count(), 1);
        QVERIFY(model.showsNote());
        QCOMPARE(model.noteText(), u"Текст без таймстампов — приблизительная синхронизация"_s);
    }

    // Texts are read on a worker; a long one overtaken by a short one
    // while it is read never shows.
    void anOvertakenTextIsDropped()
    {
        TrackOut track = makeTrack(u"a"_s, QString(), lrc);
        PlayerRig rig;
        rig.store->play(track, {track});
        StoreRegistry::set(rig.store.get());
        LyricsPanelModel model;
        rig.store->setCurrentLyrics(plainLines(20000));
        rig.store->setCurrentLyrics(plainLines(3));
        QTRY_COMPARE(model.rowCount(), 3);
        QVERIFY(waitUntilIdle());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(2).data(LyricsPanelModel::TextRole).toString(), u"line 2"_s);

        rig.store->setCurrentLyrics(std::nullopt);
        QCOMPARE(model.rowCount(), 0);
    }

    void clickOnALine_data()
    {
        QTest::addColumn<QString>("lyrics");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("target");
        QTest::newRow("lrc: the stamp") << lrc << 0 << 1 << 20.5;
        QTest::newRow("lrc: a blank line's stamp") << lrc << 200 << 3 << 31.0;
        QTest::newRow("plain: its share") << plainLines(10) << 200 << 5 << 100.0;
        QTest::newRow("plain: no duration") << plainLines(10) << 0 << 5 << -1.0;
        QTest::newRow("outside the lines") << plainLines(10) << 200 << 10 << -1.0;
    }

    void clickOnALine()
    {
        QFETCH(double, target);
        TrackOut track = makeTrack(u"a"_s, QString(), column<QString>("lyrics"));
        track.durationSeconds = column<int>("duration");
        PlayerRig rig;
        rig.store->play(track, {track});
        StoreRegistry::set(rig.store.get());
        LyricsPanelModel model;
        QTRY_VERIFY(model.rowCount() > 0);
        QCOMPARE(model.seekToLine(column<int>("row")), target >= 0);
        QCOMPARE(rig.player()->seeks(), target >= 0 ? QList {target} : QList<double> {});
        if (target >= 0)
            QCOMPARE(rig.store->elapsed(), target);
    }

    void anchor()
    {
        // A 500-high panel: a 40-high row's 42 % point meets the panel's.
        QCOMPARE(LyricsPanelModel::rowTopInView(500, 40), 0.42 * 500 - 0.42 * 40);
        QCOMPARE(LyricsPanelModel::rowTopInView(500, qQNaN()), 0.0);
        // The glide ends exactly on its target, slow at both ends.
        QCOMPARE(LyricsPanelModel::glidePosition(100, 200, 0), 100.0);
        QCOMPARE(LyricsPanelModel::glidePosition(100, 200, 0.5), 150.0);
        QCOMPARE(LyricsPanelModel::glidePosition(100, 200, 1), 200.0);
        QVERIFY(LyricsPanelModel::glidePosition(100, 200, 0.1) < 110);
        QVERIFY(LyricsPanelModel::glidePosition(100, 200, 0.9) > 190);
    }

    // Where the column stands for a 40-high row at rowY of content that
    // starts at -220 (the room above the first line).
    void scrollTarget_data()
    {
        QTest::addColumn<double>("rowY");
        QTest::addColumn<double>("viewport");
        QTest::addColumn<double>("contentHeight");
        QTest::addColumn<double>("target");
        QTest::newRow("in the middle") << 1000.0 << 500.0 << 3000.0 << 1000 - (0.42 * 500 - 0.42 * 40);
        QTest::newRow("first line of a tall panel") << 0.0 << 800.0 << 3000.0 << -220.0;
        QTest::newRow("last line") << 1200.0 << 500.0 << 1500.0 << -220.0 + 1500 - 500;
        QTest::newRow("content shorter than the panel") << 40.0 << 500.0 << 300.0 << -220.0;
        QTest::newRow("row not laid out") << qQNaN() << 500.0 << 3000.0 << -220.0;
    }

    void scrollTarget()
    {
        QFETCH(double, target);
        const double got = LyricsPanelModel::scrollTarget(
            column<double>("rowY"), 40, column<double>("viewport"), -220, column<double>("contentHeight"));
        QVERIFY2(qAbs(got - target) < 1e-9, qPrintable(QString::number(got)));
    }

    void edgeFade_data()
    {
        QTest::addColumn<double>("position");
        QTest::addColumn<double>("opacity");
        QTest::newRow("above the panel") << -0.2 << 0.0;
        QTest::newRow("top edge") << 0.0 << 0.0;
        QTest::newRow("half way in") << 0.09 << 0.5;
        QTest::newRow("fully in") << 0.18 << 1.0;
        QTest::newRow("middle") << 0.5 << 1.0;
        QTest::newRow("fade out starts") << 0.72 << 1.0;
        QTest::newRow("half way out") << 0.86 << 0.5;
        QTest::newRow("bottom edge") << 1.0 << 0.0;
        QTest::newRow("not a number") << qQNaN() << 0.0;
    }

    void edgeFade()
    {
        QFETCH(double, position);
        QFETCH(double, opacity);
        QVERIFY(qAbs(LyricsPanelModel::edgeOpacity(position) - opacity) < 1e-9);
    }
};

QTEST_MAIN(TestLyricsPanel)
#include "tst_lyricspanel.moc"
