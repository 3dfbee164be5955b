// The QR image of the sign-in link: level M in byte mode, ten pixels a
// module, black on white with one module of quiet zone; it scans back to
// the very text it was made of, also as drawn on screen at another size.
#include "account/qrcode.h"

#include "scenerig.h"
#include "zbardecode.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QString linkOf(const QString &token)
{
    return u"nimbras://qr?token="_s + token;
}

// Modules along one side of a QR code version.
int modulesOfVersion(int version)
{
    return 17 + 4 * version;
}

} // namespace

class TstQrImage : public QObject
{
    Q_OBJECT

    SceneRig m_scene;

private slots:
    void initTestCase() { m_scene.start(); }

    void cleanup() { m_scene.finishTest(); }

    // The version follows the byte count at level M: a lower level would
    // pick a smaller version for the 51- and 43-byte links.
    void sizeFollowsLevelM_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("version");
        QTest::newRow("14 bytes") << u"nimbras://qr?t"_s << 1;
        QTest::newRow("51 bytes (L: version 3)") << linkOf(u"0123456789abcdef0123456789abcdef"_s) << 4;
        QTest::newRow("63 bytes") << linkOf(u"0123456789abcdef0123456789abcdef0123456789ab"_s) << 5;
    }

    void sizeFollowsLevelM()
    {
        QFETCH(QString, text);
        QFETCH(int, version);
        const std::optional<QrCode> code = QrCode::encode(text);
        QVERIFY(code);
        QCOMPARE(code->size(), modulesOfVersion(version));
        const QImage image = code->toImage();
        const int side = (modulesOfVersion(version) + 2 * QrCode::quietZone) * 10;
        QCOMPARE(image.size(), QSize(side, side));
        QCOMPARE(QrCode::image(text), image);
    }

    // Every pixel is opaque pure black or white; the quiet zone is white all
    // round; each module is a 10x10 block of one colour, and the top-left
    // finder pattern sits right inside the quiet zone.
    void blackModulesOnWhite()
    {
        const QImage image = QrCode::image(linkOf(u"q-7f3a9c21"_s));
        QVERIFY(!image.isNull());
        const int modules = image.width() / 10;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255));
                const bool quiet = x < 10 || y < 10 || x >= image.width() - 10 || y >= image.height() - 10;
                if (quiet)
                    QCOMPARE(pixel, qRgb(255, 255, 255));
                QCOMPARE(pixel, image.pixel(x / 10 * 10, y / 10 * 10));
            }
        }
        // The finder: a dark 7x7 ring around a light ring around a dark 3x3.
        const auto dark
            = [&](int mx, int my) { return image.pixel((mx + 1) * 10 + 5, (my + 1) * 10 + 5) == qRgb(0, 0, 0); };
        QVERIFY(dark(0, 0) && dark(6, 0) && dark(0, 6) && dark(6, 6) && dark(3, 3));
        QVERIFY(!dark(1, 1) && !dark(5, 5) && !dark(7, 7));
        QVERIFY(dark(modules - 3, 0) && dark(0, modules - 3)); // the other two finders
    }

    void noCodeWithoutText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("longer than version 40 holds") << QString(2400, u'a');
    }

    void noCodeWithoutText()
    {
        QFETCH(QString, text);
        QVERIFY(!QrCode::encode(text));
        QVERIFY(QrCode::image(text).isNull());
    }

    // The token goes into the link unchanged, whatever its characters, and
    // a scanner reads back exactly that link.
    void scansBackToTheLink_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain token") << linkOf(u"q-7f3a9c21"_s);
        QTest::newRow("reserved characters") << linkOf(u"a+b/c?d=e&f#g%20h"_s);
    }

    void scansBackToTheLink()
    {
        QFETCH(QString, text);
        if (!hasZbarImg())
            QSKIP("zbarimg is not installed");
        QCOMPARE(decodeQrImage(QrCode::image(text)), std::optional<QString>(text));
    }

    // On screen the code fills its item at any size with whole-pixel
    // module edges, and still scans; without a code the item shows its
    // placeholder colour.
    void viewDrawsCodeOrPlaceholder_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("sheet size") << 188;
        QTest::newRow("odd size") << 131;
    }

    void viewDrawsCodeOrPlaceholder()
    {
        QFETCH(int, side);
        const QString link = linkOf(u"q-7f3a9c21"_s);
        const QByteArray qml = "import QtQuick\nimport Nimbra\nRectangle { color: \"white\"\n"
                               "  QrCodeView { objectName: \"code\"; x: 20; y: 20; width: "
            + QByteArray::number(side) + "; height: " + QByteArray::number(side) + "; content: \"" + link.toUtf8()
            + "\"; placeholderColor: \"#ff00ff\" } }";
        QmlScene scene(m_scene.engine(), qml, QSize(side + 40, side + 40));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *view = scene.item(u"code"_s);
        QVERIFY(view->property("hasCode").toBool());
        const QImage shot = scene.grab().convertToFormat(QImage::Format_RGB32);
        const qreal ratio = scene.window()->devicePixelRatio();
        // The quiet zone's corner and the finder's corner module.
        QCOMPARE(shot.pixel(QPoint(21, 21) * ratio), qRgb(255, 255, 255));
        // 29 bytes at level M take version 3; one module of quiet zone each side.
        const int module = side / (modulesOfVersion(3) + 2);
        QCOMPARE(shot.pixel(QPoint(20 + module + module / 2, 20 + module + module / 2) * ratio), qRgb(0, 0, 0));
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                QVERIFY(shot.pixel(x, y) == qRgb(0, 0, 0) || shot.pixel(x, y) == qRgb(255, 255, 255));
        if (hasZbarImg())
            QCOMPARE(decodeQrImage(shot), std::optional<QString>(link));

        view->setProperty("content", QString(2400, u'a'));
        QVERIFY(!view->property("hasCode").toBool());
        QTRY_COMPARE(scene.grab().pixelColor(QPoint(20 + side / 2, 20 + side / 2) * ratio), QColor(255, 0, 255));
    }
};

QTEST_MAIN(TstQrImage)
#include "tst_qrimage.moc"
