// The shared visual pieces: theme, card, round button and icon, each made
// offscreen without a QML warning, plus a rendered composition of them for
// review (build/screenshots/components.png).
#include "platform/iconmap.h"
#include "scenerig.h"
#include "screentest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

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

    test::SceneRig m_scene;

private slots:
    void initTestCase() { m_scene.start(); }

    void cleanup() { m_scene.finishTest(); }

    void componentsLoadQuietly_data()
    {
        QTest::addColumn<QByteArray>("qml");
        QTest::newRow("icon without a name") << QByteArray("AppIcon {}");
        QTest::newRow("icon of an unknown name") << QByteArray("AppIcon { name: \"no.such.symbol\" }");
        QTest::newRow("empty card") << QByteArray("HaloCard {}");
        QTest::newRow("card with content")
            << QByteArray("HaloCard { Rectangle { implicitWidth: 120; implicitHeight: 80 } }");
        QTest::newRow("lit lyrics line") << QByteArray(
            "LyricsLine { width: 300; lineText: \"Свет\"; look: LyricsPanelModel.Active\n"
            "  glowOnGpu: GraphicsInfo.api !== GraphicsInfo.Software }");
        QTest::newRow("button without a symbol") << QByteArray("CircularControlButton {}");
        QTest::newRow("focus suppressor") << QByteArray("FocusSuppressor { anchors.fill: parent }");
        QTest::newRow("artwork without a source") << QByteArray("Artwork {}");
        QTest::newRow("state view at rest") << QByteArray("StateView { anchors.fill: parent }");
        QTest::newRow("state view loading") << QByteArray("StateView { anchors.fill: parent; loadState: LoadState.Loading }");
        QTest::newRow("section header") << QByteArray("SectionHeader { width: 300; title: \"Альбомы\" }");
        QTest::newRow("search field") << QByteArray("SearchField { text: \"abc\" }");
        QTest::newRow("back bar") << QByteArray("BackBar { width: 300; title: \"Альбом\" }");
        QTest::newRow("sign-in alert closed") << QByteArray("SignInRequiredDialog {}");
        QTest::newRow("hi-fi badge") << QByteArray("HiFiBadge { small: true }");
    }

    // Each loads without a warning, and its layers' effects outlive a
    // collection: a layer holds its effect's component by a plain pointer,
    // and one the collector took was made into an effect again, from freed
    // memory, the next time the layer came on.
    void componentsLoadQuietly()
    {
        QFETCH(QByteArray, qml);
        test::QmlScene scene(m_scene.engine(), ::scene(qml));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(!scene.grab().isNull());
        QList<QPointer<QObject>> effects;
        for (QQuickItem *item : scene.root()->findChildren<QQuickItem *>()) {
            // An item whose layer is on provides its texture.
            if (QObject *effect
                = item->isTextureProvider() ? QQmlProperty::read(item, u"layer.effect"_s).value<QObject *>() : nullptr)
                effects << effect;
        }
        m_scene.engine().collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QObject> &effect : std::as_const(effects))
            QVERIFY(effect);
    }

    void iconDrawsOnlyKnownNames()
    {
        test::QmlScene scene(m_scene.engine(),
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
        test::QmlScene scene(m_scene.engine(),
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
        test::QmlScene scene(m_scene.engine(),
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
        test::QmlScene scene(m_scene.engine(),
            ::scene("CircularControlButton { objectName: \"button\"; x: 100; y: 100; systemImage: \"play.fill\"; size: "
                + QByteArray::number(size) + "; iconFont: " + font + "; property real symbolScale: AppTheme.symbolScale }"));
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
        // The symbol's scale is the theme's to choose; its rounding is the button's.
        QCOMPARE(symbol->width(), qreal(qRound(fontPixels * button->property("symbolScale").toReal())));
        // Centred to the whole pixel.
        const QPointF symbolCentre = symbol->mapToItem(button, symbol->boundingRect().center());
        QVERIFY(qAbs(symbolCentre.x() - size / 2.0) <= 0.5 && qAbs(symbolCentre.y() - size / 2.0) <= 0.5);
    }

    void buttonClicksOnlyWhileEnabled()
    {
        test::QmlScene scene(m_scene.engine(),
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

    // A layer that slides away still covers what comes in under it (the
    // fading mini player over the fullscreen player's controls), yet a press
    // goes through it; a layer sliding in takes a press where it is drawn.
    // The slide lasts minutes here, so each press lands mid-way.
    void slidingLayerTakesPressesOnlyOnItsWayIn()
    {
        test::QmlScene scene(m_scene.engine(),
            ::scene("property int under: 0\nproperty int leaving: 0\nproperty int entering: 0\n"
                    "MouseArea { anchors.fill: parent; onClicked: under++ }\n"
                    "SlideInLayer { objectName: \"leaving\"; width: 200; height: 300; duration: 600000; shown: true\n"
                    "  MouseArea { anchors.fill: parent; onClicked: leaving++ } }\n"
                    "SlideInLayer { objectName: \"entering\"; x: 200; width: 200; height: 300; duration: 600000\n"
                    "  MouseArea { anchors.fill: parent; onClicked: entering++ } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *leaving = scene.item(u"leaving"_s);
        QQuickItem *entering = scene.item(u"entering"_s);
        leaving->setProperty("shown", false);
        entering->setProperty("shown", true);
        QTRY_VERIFY(entering->isVisible() && leaving->property("progress").toDouble() < 1.0);
        QVERIFY(leaving->isVisible());

        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(100, 260));
        // The entering content still lies low: above it is what is under.
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(300, 40));
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(300, 260));
        QCOMPARE(scene.root()->property("under").toInt(), 2);
        QCOMPARE(scene.root()->property("leaving").toInt(), 0);
        QCOMPARE(scene.root()->property("entering").toInt(), 1);
    }

    // A help text shows while the pointer rests on its control and goes
    // with a press, and with a layer sliding in over the resting pointer.
    void helpTextGoesWithPressOrCover_data()
    {
        QTest::addColumn<bool>("press");
        QTest::newRow("press") << true;
        QTest::newRow("layer slides over") << false;
    }

    void helpTextGoesWithPressOrCover()
    {
        QFETCH(bool, press);
        test::QmlScene scene(m_scene.engine(),
            ::scene("IconButton { objectName: \"button\"; x: 50; y: 250; symbol: \"heart\"; toolTip: \"Нравится\" }\n"
                    "SlideInLayer { objectName: \"layer\"; anchors.bottom: parent.bottom; width: 400; height: 100\n"
                    "  Rectangle { anchors.fill: parent; color: \"gray\" } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *button = scene.item(u"button"_s);
        QObject *tip = nullptr;
        for (QObject *child : button->findChildren<QObject *>()) {
            if (QByteArray(child->metaObject()->className()).startsWith("ToolTipGate"))
                tip = child;
        }
        QVERIFY(tip);
        const QPoint centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint();
        QTest::mouseMove(scene.window(), QPoint(5, 5));
        QTest::mouseMove(scene.window(), centre);
        QTRY_VERIFY(tip->property("shown").toBool());
        if (press) {
            QTest::mousePress(scene.window(), Qt::LeftButton, {}, centre);
            QVERIFY(!tip->property("shown").toBool());
            QTest::mouseRelease(scene.window(), Qt::LeftButton, {}, centre);
            // Not again until the pointer has left.
            QVERIFY(!tip->property("shown").toBool());
        } else {
            scene.item(u"layer"_s)->setProperty("shown", true);
            QTRY_VERIFY(!tip->property("hovered").toBool());
        }
        QVERIFY(!tip->property("shown").toBool());
    }

    // The plain style draws the label unchanged: no highlight while pressed,
    // no hover effect and no disabled look of its own.
    void buttonLooksTheSameInEveryState()
    {
        test::QmlScene scene(m_scene.engine(),
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
        test::QmlScene scene(m_scene.engine(),
            ::scene("TextField { objectName: \"field\"; x: 10; y: 10; width: 200 }\n"
                    "CircularControlButton { objectName: \"button\"; x: 50; y: 100; size: 44; systemImage: "
                    "\"play.fill\" }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(scene.window(), nimbra::test::kEventLimitMs));
        QQuickItem *field = scene.item(u"field"_s);
        field->forceActiveFocus();
        QVERIFY(field->hasActiveFocus());
        QSignalSpy clicked(scene.item(u"button"_s), SIGNAL(clicked()));
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(72, 122));
        QCOMPARE(clicked.count(), 1);
        QVERIFY(field->hasActiveFocus());
    }

    // A row's buttons and cover call the list model's row actions with the
    // row's index; the menu and the signals are there for lists that do more.
    void trackRowCallsItsListModel_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("opensPlayer");
        QTest::addColumn<QString>("called");
        QTest::newRow("play button") << u"trackPlay"_s << false << u"play 1"_s;
        QTest::newRow("heart") << u"trackFavorite"_s << false << u"toggleFavorite 1"_s;
        QTest::newRow("cover plays") << u"trackArtwork"_s << false << u"play 1"_s;
        QTest::newRow("cover opens the player") << u"trackArtwork"_s << true << u"playAndOpen 1"_s;
    }

    void trackRowCallsItsListModel()
    {
        QFETCH(QString, target);
        QFETCH(bool, opensPlayer);
        QFETCH(QString, called);
        test::QmlScene scene(m_scene.engine(),
            ::scene("QtObject { id: actions; property var calls: []\n"
                    "  function play(i) { calls.push(\"play \" + i) }\n"
                    "  function playAndOpen(i) { calls.push(\"playAndOpen \" + i) }\n"
                    "  function toggleFavorite(i) { calls.push(\"toggleFavorite \" + i) } }\n"
                    "ListModel { id: tracks\n"
                    "  ListElement { trackId: \"a\"; coverUrl: \"\"; title: \"A\"; artist: \"X\"; durationText: \"1:00\"; isFavorite: false;"
                    "    isDisliked: false; isHiFi: false; isCurrent: false; trackNumber: 1 }\n"
                    "  ListElement { trackId: \"b\"; coverUrl: \"\"; title: \"B\"; artist: \"Y\"; durationText: \"2:00\"; isFavorite: true;"
                    "    isDisliked: false; isHiFi: true; isCurrent: true; trackNumber: 2 } }\n"
                    "property alias calls: actions.calls\n"
                    "ListView { objectName: \"list\"; anchors.fill: parent; model: tracks\n"
                    "  delegate: TrackRow { objectName: \"row\" + index; width: 400; listModel: actions; artworkOpensPlayer: "
                + QByteArray(opensPlayer ? "true" : "false") + " } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *row = scene.item(u"row1"_s);
        QVERIFY(row);
        QQuickItem *button = test::findItem(row, target);
        QVERIFY(test::isShown(button));
        QVERIFY(test::click(scene.window(), button));
        QCOMPARE(scene.root()->property("calls").toStringList(), QStringList {called});
    }

    // Open while there is a message; OK closes it and says so, so the
    // screen clears its prompt.
    void signInAlertFollowsItsMessage()
    {
        test::QmlScene scene(m_scene.engine(),
            ::scene("property int dismissals: 0\n"
                    "SignInRequiredDialog { id: alert; objectName: \"alert\"; message: \"\"; onDismissed: { "
                    "dismissals++; message = \"\" } }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QObject *alert = scene.root()->findChild<QObject *>(u"alert"_s);
        QVERIFY(alert);
        QVERIFY(!alert->property("visible").toBool());
        alert->setProperty("message", u"Войдите, чтобы добавлять треки в избранное"_s);
        QTRY_VERIFY(test::isShown(scene.find(u"signInOk"_s)));
        QCOMPARE(scene.find(u"signInTitle"_s)->property("text").toString(), u"Нужен вход"_s);
        QVERIFY(test::saveScreenshot(scene.grab(), u"components-signin-alert"_s));
        QVERIFY(test::click(scene.window(), scene.find(u"signInOk"_s)));
        QTRY_VERIFY(!alert->property("visible").toBool());
        QCOMPARE(scene.root()->property("dismissals").toInt(), 1);
        QCOMPARE(alert->property("message").toString(), QString());
    }

    // No path, a broken path: the placeholder, and no picture; a readable
    // file: the picture at the size it is shown.
    void artworkShowsPictureOrPlaceholder()
    {
        QTemporaryDir dir;
        QImage picture(400, 400, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString file = dir.filePath(u"cover.png"_s);
        QVERIFY(picture.save(file));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u": file:///no/such/cover.png$"_s));
        test::QmlScene scene(m_scene.engine(),
            ::scene("Artwork { objectName: \"none\"; size: 44 }\n"
                    "Artwork { objectName: \"broken\"; x: 60; size: 44; source: \"file:///no/such/cover.png\" }\n"
                    "Artwork { objectName: \"good\"; x: 120; size: 44; source: \""
                + QUrl::fromLocalFile(file).toEncoded() + "\" }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QTRY_VERIFY(scene.item(u"good"_s)->property("loaded").toBool());
        QQuickItem *image = test::findItem(scene.item(u"good"_s), u"artworkImage"_s);
        QCOMPARE(image->property("sourceSize").toSize(), QSize(44, 44) * scene.window()->devicePixelRatio());
        QVERIFY(!test::isShown(test::findItem(scene.item(u"good"_s), u"artworkPlaceholder"_s)));
        for (const QString &name : {u"none"_s, u"broken"_s}) {
            QQuickItem *artwork = scene.item(name);
            QTRY_COMPARE(test::findItem(artwork, u"artworkImage"_s)->property("status").toInt(),
                name == u"none" ? 0 : 3); // Image.Null, Image.Error
            QVERIFY(!artwork->property("loaded").toBool());
            QVERIFY(test::isShown(test::findItem(artwork, u"artworkPlaceholder"_s)));
        }
        m_scene.takeWarnings(); // the broken path's own complaint, expected above
    }

    // Retry shows only for a failure and says `retry`; the spinner turns only
    // while loading.
    void stateViewFaces_data()
    {
        QTest::addColumn<QByteArray>("loadState");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("spinning");
        QTest::addColumn<bool>("retry");
        QTest::newRow("idle") << QByteArray("LoadState.Idle") << false << false << false;
        QTest::newRow("loading") << QByteArray("LoadState.Loading") << true << true << false;
        QTest::newRow("loaded") << QByteArray("LoadState.Loaded") << false << false << false;
        QTest::newRow("empty") << QByteArray("LoadState.Empty") << true << false << false;
        QTest::newRow("failed") << QByteArray("LoadState.Failed") << true << false << true;
    }

    void stateViewFaces()
    {
        QFETCH(QByteArray, loadState);
        QFETCH(bool, shown);
        QFETCH(bool, spinning);
        QFETCH(bool, retry);
        test::QmlScene scene(m_scene.engine(),
            ::scene("StateView { objectName: \"state\"; anchors.fill: parent; errorText: \"Нет сети\"; loadState: "
                + loadState + " }"));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *view = scene.item(u"state"_s);
        QCOMPARE(test::isShown(view), shown);
        QQuickItem *spinner = scene.item(u"stateSpinner"_s);
        QCOMPARE(spinner->findChild<QObject *>(u"spinnerAnimation"_s)->property("running").toBool(), spinning);
        QCOMPARE(test::isShown(scene.item(u"stateRetry"_s)), retry);
        if (!retry)
            return;
        QSignalSpy retried(view, SIGNAL(retry()));
        QVERIFY(test::click(scene.window(), scene.item(u"stateRetry"_s)));
        QCOMPARE(retried.count(), 1);
    }

    void kitScreenshot()
    {
        QTemporaryDir dir;
        QImage cover(200, 200, QImage::Format_RGB32);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                cover.setPixelColor(x, y, QColor(60 + x / 2, 40 + y / 3, 160));
        const QString file = dir.filePath(u"cover.png"_s);
        QVERIFY(cover.save(file));
        // The preview's deliberately broken cover.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u": file:///no/such/cover.png$"_s));
        test::QmlScene scene(m_scene.engine(),
            QUrl::fromLocalFile(QStringLiteral(NIMBRA_TEST_DATA_DIR "/screens/kit-preview.qml")), QSize(1100, 760));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.root()->setProperty("coverUrl", QUrl::fromLocalFile(file));
        QVERIFY(test::waitUntilSettled(scene.window()));
        QVERIFY(test::saveScreenshot(scene.grab(), u"components-kit"_s));
        m_scene.takeWarnings(); // the broken cover's message, expected above
    }

    void compositionScreenshot()
    {
        QStringList names;
        for (const IconMap::Entry &entry : IconMap::entries())
            names.append(entry.symbol.toString());
        m_scene.engine().rootContext()->setContextProperty(u"iconNames"_s, names);
        test::QmlScene scene(m_scene.engine(),
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
