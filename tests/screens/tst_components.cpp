// The shared visual pieces: theme, card, round button and icon, each made
// offscreen without a QML warning, plus a rendered composition of them for
// review (build/screenshots/components.png).
#include "platform/focushelper.h"
#include "platform/iconmap.h"
#include "qmlscene.h"
#include "qmlwarnings.h"
#include "testenv.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

QByteArray scene(const QByteArray &body)
{
    return "import QtQuick\nimport QtQuick.Controls\nimport Nimbra\n"
           "Rectangle { color: \"black\"; width: 400; height: 300\n"
        + body + "\n}\n";
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(QColor)> &match)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool isRed(QColor c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool clipsToShape(const nimbra::test::QmlScene &scene)
{
    return scene.window()->rendererInterface()->graphicsApi() != QSGRendererInterface::Software;
}

} // namespace

class TestComponents : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::QmlWarnings> m_warnings;
    std::unique_ptr<QQmlEngine> m_engine;

private slots:
    void initTestCase()
    {
        test::initTestEnvironment();
        m_warnings = std::make_unique<test::QmlWarnings>();
        QQuickStyle::setStyle(u"Basic"_s);
        FocusHelper::suppressFocusFrames(QCoreApplication::instance());
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(u"qrc:/qt/qml"_s);
    }

    void cleanup()
    {
        const QStringList warnings = m_warnings->take();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void componentsLoadQuietly_data()
    {
        QTest::addColumn<QByteArray>("qml");
        QTest::newRow("icon without a name") << QByteArray("AppIcon {}");
        QTest::newRow("icon of an unknown name") << QByteArray("AppIcon { name: \"no.such.symbol\" }");
        QTest::newRow("empty card") << QByteArray("HaloCard {}");
        QTest::newRow("button without a symbol") << QByteArray("CircularControlButton {}");
        QTest::newRow("focus suppressor") << QByteArray("FocusSuppressor { anchors.fill: parent }");
    }

    void componentsLoadQuietly()
    {
        QFETCH(QByteArray, qml);
        test::QmlScene scene(*m_engine, ::scene(qml));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(!scene.grab().isNull());
    }

    void iconDrawsOnlyKnownNames()
    {
        test::QmlScene scene(*m_engine,
            ::scene("AppIcon { objectName: \"known\"; x: 10; y: 10; name: \"play.fill\"; size: 48; color: \"white\" }\n"
                    "AppIcon { objectName: \"unknown\"; x: 100; y: 10; name: \"play.fiil\"; size: 48; color: "
                    "\"white\" }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QCOMPARE(scene.item(u"known"_s)->width(), 48.0);
        const QImage image = scene.grab();
        const auto lit = [](QColor c) { return c.lightness() > 128; };
        QVERIFY(countPixels(image, QRect(10, 10, 48, 48), lit) > 100);
        QCOMPARE(countPixels(image, QRect(100, 10, 48, 48), lit), 0);
    }

    // The card adds no inset: content reaches its edges. Where the renderer
    // can (not the software one), content is cut to the rounded corners.
    void cardHasNoInsetAndRoundCorners()
    {
        test::QmlScene scene(*m_engine,
            ::scene("HaloCard { objectName: \"card\"; x: 20; y: 20\n"
                    "  Rectangle { implicitWidth: 120; implicitHeight: 80; color: \"red\" } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *card = scene.item(u"card"_s);
        QCOMPARE(card->width(), 120.0);
        QCOMPARE(card->height(), 80.0);
        const QImage image = scene.grab();
        QVERIFY(isRed(image.pixelColor(20 + 60, 20))); // top edge, middle
        QVERIFY(isRed(image.pixelColor(20, 20 + 40))); // left edge, middle
        QVERIFY(isRed(image.pixelColor(20 + 119, 20 + 79)) == !clipsToShape(scene));
        if (!clipsToShape(scene))
            return;
        for (const QPoint corner : {QPoint(20, 20), QPoint(139, 20), QPoint(20, 99), QPoint(139, 99)})
            QVERIFY2(!isRed(image.pixelColor(corner)), qPrintable(u"corner %1,%2"_s.arg(corner.x()).arg(corner.y())));
    }

    // Content that fills the card sizes it from outside, without a loop.
    void cardFilledByContentTakesOuterSize()
    {
        test::QmlScene scene(*m_engine,
            ::scene("Column { HaloCard { objectName: \"card\"; width: 200; height: 90\n"
                    "  Column { anchors.fill: parent; anchors.margins: 14; Text { text: \"Вход\" } } } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QCOMPARE(scene.item(u"card"_s)->width(), 200.0);
    }

    // The circle's diameter is the button's size whatever the symbol's font;
    // the symbol follows the font alone and may reach past the circle.
    void circleFollowsSizeOnly_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("font");
        QTest::addColumn<int>("fontPixels");
        QTest::newRow("mini player") << 32 << QByteArray("AppTheme.footnote") << 10;
        QTest::newRow("font larger than circle") << 20 << QByteArray("AppTheme.systemFont(40)") << 40;
    }

    void circleFollowsSizeOnly()
    {
        QFETCH(int, size);
        QFETCH(QByteArray, font);
        QFETCH(int, fontPixels);
        test::QmlScene scene(*m_engine,
            ::scene("CircularControlButton { objectName: \"button\"; x: 100; y: 100; systemImage: \"play.fill\"; size: "
                + QByteArray::number(size) + "; iconFont: " + font + " }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *button = scene.item(u"button"_s);
        QQuickItem *circle = scene.item(u"circle"_s);
        QQuickItem *symbol = scene.item(u"symbol"_s);
        QVERIFY(button && circle && symbol);
        QCOMPARE(button->width(), qreal(size));
        QCOMPARE(button->height(), qreal(size));
        QCOMPARE(circle->width(), qreal(size));
        QCOMPARE(circle->height(), qreal(size));
        QCOMPARE(circle->mapToItem(button, circle->boundingRect().center()), QPointF(size / 2.0, size / 2.0));
        QCOMPARE(symbol->width(), qreal(qRound(fontPixels * 1.35)));
        // Centred to the whole pixel.
        const QPointF symbolCentre = symbol->mapToItem(button, symbol->boundingRect().center());
        QVERIFY(qAbs(symbolCentre.x() - size / 2.0) <= 0.5 && qAbs(symbolCentre.y() - size / 2.0) <= 0.5);
    }

    void buttonClicksOnlyWhileEnabled()
    {
        test::QmlScene scene(*m_engine,
            ::scene(
                "CircularControlButton { objectName: \"button\"; x: 50; y: 50; size: 44; systemImage: \"shuffle\" }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *button = scene.item(u"button"_s);
        QSignalSpy clicked(button, SIGNAL(clicked()));
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(72, 72));
        QCOMPARE(clicked.count(), 1);
        button->setEnabled(false);
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(72, 72));
        QCOMPARE(clicked.count(), 1);
    }

    // The plain style draws the label unchanged: no highlight while pressed,
    // no hover effect and no disabled look of its own.
    void buttonLooksTheSameInEveryState()
    {
        test::QmlScene scene(*m_engine,
            ::scene("CircularControlButton { objectName: \"button\"; x: 50; y: 50; size: 44; systemImage: "
                    "\"heart.fill\"; iconFont: AppTheme.title2; foreground: AppTheme.accent; backgroundColor: "
                    "AppTheme.elevated }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *button = scene.item(u"button"_s);
        const QImage idle = scene.grab();

        // A move to where the pointer already is gets dropped; come from outside.
        QTest::mouseMove(scene.window(), QPoint(5, 5));
        QTest::mouseMove(scene.window(), QPoint(72, 72));
        QTRY_VERIFY(button->property("hovered").toBool());
        QCOMPARE(scene.grab(), idle);

        QTest::mousePress(scene.window(), Qt::LeftButton, {}, QPoint(72, 72));
        QVERIFY(button->property("pressed").toBool());
        QCOMPARE(scene.grab(), idle);
        QTest::mouseRelease(scene.window(), Qt::LeftButton, {}, QPoint(72, 72));

        button->setEnabled(false);
        QCOMPARE(scene.grab(), idle);
    }

    // A click on a player button leaves the typing where it was.
    void clickKeepsTextFieldFocus()
    {
        test::QmlScene scene(*m_engine,
            ::scene("TextField { objectName: \"field\"; x: 10; y: 10; width: 200 }\n"
                    "CircularControlButton { objectName: \"button\"; x: 50; y: 100; size: 44; systemImage: "
                    "\"play.fill\" }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(scene.window()));
        QQuickItem *field = scene.item(u"field"_s);
        field->forceActiveFocus();
        QVERIFY(field->hasActiveFocus());
        QSignalSpy clicked(scene.item(u"button"_s), SIGNAL(clicked()));
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(72, 122));
        QCOMPARE(clicked.count(), 1);
        QVERIFY(field->hasActiveFocus());
    }

    void compositionScreenshot()
    {
        QStringList names;
        for (const IconMap::Entry &entry : IconMap::entries())
            names.append(entry.symbol.toString());
        m_engine->rootContext()->setContextProperty(u"iconNames"_s, names);
        test::QmlScene scene(*m_engine,
            QUrl::fromLocalFile(QStringLiteral(NIMBRA_TEST_DATA_DIR "/screens/components-preview.qml")),
            QSize(1100, 560));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        // Every icon of the table is drawn, whole, inside the picture.
        int icons = 0;
        const QRectF frame(QPointF(0, 0), QSizeF(1100, 560));
        QList<QQuickItem *> items {scene.window()->contentItem()};
        while (!items.isEmpty()) {
            QQuickItem *item = items.takeLast();
            items += item->childItems();
            if (!QByteArray(item->metaObject()->className()).startsWith("AppIcon"))
                continue;
            ++icons;
            const QRectF box = item->mapRectToScene(item->boundingRect());
            QVERIFY2(!box.isEmpty() && frame.contains(box), qPrintable(item->property("name").toString()));
        }
        QVERIFY2(icons >= names.size(), qPrintable(u"%1 icons drawn"_s.arg(icons)));
        const QImage image = scene.grab();
        QCOMPARE(image.size(), QSize(1100, 560) * scene.window()->devicePixelRatio());
        QVERIFY(QDir().mkpath(QStringLiteral(NIMBRA_SCREENSHOT_DIR)));
        const QString path = QStringLiteral(NIMBRA_SCREENSHOT_DIR "/components.png");
        QVERIFY(image.save(path));
        qInfo("composition written to %s", qPrintable(path));
    }
};

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
