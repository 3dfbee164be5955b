// The wrapping layout under the badge pills: where each item goes and the
// size it reports, for several widths and none.
#include "shell/flowlayout.h"

#include <QtTest>

using namespace nimbra;

using Frames = QList<QRectF>;

class TestFlowLayout : public QObject
{
    Q_OBJECT

private slots:
    void arrange_data()
    {
        QTest::addColumn<QList<QSizeF>>("sizes");
        QTest::addColumn<qreal>("width"); // < 0: none proposed
        QTest::addColumn<Frames>("frames");
        QTest::addColumn<QSizeF>("size");

        const QSizeF a(50, 20), b(44, 20), c(45, 24);
        QTest::newRow("nothing") << QList<QSizeF> {} << 100.0 << Frames {} << QSizeF(100, 0);
        QTest::newRow("nothing, no width") << QList<QSizeF> {} << -1.0 << Frames {} << QSizeF(0, 0);
        QTest::newRow("gap counts, exact fit stays") << QList {a, b} << 100.0
                                                     << Frames {{0, 0, 50, 20}, {56, 0, 44, 20}} << QSizeF(100, 20);
        QTest::newRow("one past the width wraps") << QList {a, c} << 100.0
                                                  << Frames {{0, 0, 50, 20}, {0, 26, 45, 24}} << QSizeF(100, 50);
        QTest::newRow("tallest item sets the row")
            << QList {c, a, a} << 100.0 << Frames {{0, 0, 45, 24}, {0, 30, 50, 20}, {0, 56, 50, 20}} << QSizeF(100, 76);
        QTest::newRow("wider than the width stands alone")
            << QList {a, QSizeF(130, 20), b} << 100.0
            << Frames {{0, 0, 50, 20}, {0, 26, 130, 20}, {0, 52, 44, 20}} << QSizeF(100, 72);
        QTest::newRow("no width: one row of its own width")
            << QList {a, b, c} << -1.0 << Frames {{0, 0, 50, 20}, {56, 0, 44, 20}, {106, 0, 45, 24}}
            << QSizeF(151, 24);
    }

    void arrange()
    {
        QFETCH(QList<QSizeF>, sizes);
        QFETCH(qreal, width);
        QFETCH(Frames, frames);
        QFETCH(QSizeF, size);
        const auto result = FlowLayout::arrange(sizes, width < 0 ? std::nullopt : std::optional(width), 6);
        QCOMPARE(result.frames, frames);
        QCOMPARE(result.size, size);
    }
};

QTEST_GUILESS_MAIN(TestFlowLayout)
#include "tst_flowlayout.moc"
