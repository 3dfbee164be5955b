// Shared shape pictures draw what the rounded rectangles they stand in for
// drew: the shape's colour inside, nothing outside its rounded corners, a
// gradient from top to bottom, and a shadow's rings stacked from the widest.
#include "platform/shapeimages.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

QString idOf(const QUrl &address)
{
    return address.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
}

} // namespace

class TestShapeImages : public QObject
{
    Q_OBJECT

    ShapeImages m_shapes;

private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void aCircleOfOneColour()
    {
        const QUrl address = m_shapes.rounded(QSizeF(40, 40), 20, QColor(10, 200, 30), QColor(10, 200, 30), 1);
        QCOMPARE(address.scheme(), u"image"_s);
        const QImage circle = ShapeImages::paint(idOf(address));
        QCOMPARE(circle.size(), QSize(40, 40));
        QCOMPARE(circle.pixelColor(20, 20), QColor(10, 200, 30));
        QCOMPARE(circle.pixelColor(20, 1).alpha(), 255);
        for (const QPoint corner : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 39), QPoint(39, 39)})
            QCOMPARE(circle.pixelColor(corner).alpha(), 0);
        // Twice the device pixels, the same shape.
        const QImage sharp = ShapeImages::paint(
            idOf(m_shapes.rounded(QSizeF(40, 40), 20, QColor(10, 200, 30), QColor(10, 200, 30), 2)));
        QCOMPARE(sharp.size(), QSize(80, 80));
        QCOMPARE(sharp.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(sharp.pixelColor(40, 40), QColor(10, 200, 30));
    }

    void aGradientRunsDown()
    {
        const QImage shade = ShapeImages::paint(
            idOf(m_shapes.rounded(QSizeF(60, 100), 4, Qt::transparent, QColor(0, 0, 0, 200), 1)));
        QVERIFY(shade.pixelColor(30, 1).alpha() < 10);
        QVERIFY(shade.pixelColor(30, 50).alpha() > 80 && shade.pixelColor(30, 50).alpha() < 120);
        QVERIFY(shade.pixelColor(30, 98).alpha() > 190);
    }

    // The picture covers the widest ring: 2 + 2 * step on every side. Where
    // all three rings lie, their colour is laid three times.
    void aShadowsRings()
    {
        const qreal alpha = 0.2;
        const QImage shadow = ShapeImages::paint(
            idOf(m_shapes.discShadow(QSizeF(100, 100), 50, QColor::fromRgbF(0, 0, 0, alpha), 4, 1)));
        QCOMPARE(shadow.size(), QSize(120, 120));
        QCOMPARE(shadow.pixelColor(0, 0).alpha(), 0);
        const auto near = [](int value, double wanted) { return std::abs(value - wanted * 255) <= 3; };
        QVERIFY2(near(shadow.pixelColor(60, 2).alpha(), alpha), "the widest ring alone");
        QVERIFY2(near(shadow.pixelColor(60, 60).alpha(), 1 - std::pow(1 - alpha, 3)), "all three rings");
    }

    void malformedAddressesDrawNothing()
    {
        for (const QString &bad : {u""_s, u"40,40"_s, u"40;0,0,40,40,20,ff000000,ff000000"_s,
                 u"40,40;0,0,40,40,20,ff000000"_s, u"40,40;0,0,40,40,20,red,ff000000"_s,
                 u"40,40;0,0,40,-4,20,ff000000,ff000000"_s, u"99999,40;0,0,40,40,20,ff000000,ff000000"_s})
            QVERIFY2(ShapeImages::paint(bad).isNull(), qPrintable(bad));
        QVERIFY(m_shapes.rounded(QSizeF(0, 40), 4, Qt::black, Qt::black, 1).isEmpty());
    }
};

QTEST_MAIN(TestShapeImages)
#include "tst_shapeimages.moc"
