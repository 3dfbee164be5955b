// Keyboard focus in the window: no control draws a focus frame, focus can be
// dropped at once, and while a suppressor is shown no text input or list of
// its window keeps focus.
#include "eventloop.h"
#include "platform/focushelper.h"
#include "platform/focussuppressor.h"
#include "scenerig.h"
#include "shell/windowlayer.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlIncubator>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kForm = R"(
import QtQuick
import QtQuick.Controls
import Nimbra
Rectangle {
    width: 400; height: 300; color: "black"
    Column {
        TextField { objectName: "field"; width: 200 }
        Button { objectName: "button"; text: "Войти" }
        Switch { objectName: "switch" }
        CheckBox { objectName: "check" }
        Slider { objectName: "slider" }
        ComboBox { objectName: "combo"; model: ["a", "b"] }
        ListView { objectName: "list"; width: 100; height: 40; activeFocusOnTab: true; model: 3
                   delegate: Text { text: index } }
        ListView { width: 100; height: 40; model: 1
                   delegate: Button { objectName: "rowButton"; text: "Играть" } }
    }
    FocusScope {
        objectName: "scope"; y: 260; width: 200; height: 30
        TextField { objectName: "scopedField"; width: 200; focus: true }
    }
    FocusSuppressor { objectName: "suppressor"; anchors.fill: parent; visible: false }
    MouseArea { objectName: "under"; x: 300; y: 200; width: 80; height: 80; z: -1 }
}
)";

// Types Latin letters into the window, as keys.
void type(QWindow *window, const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(window, *c);
}

} // namespace

class TestFocus : public QObject
{
    Q_OBJECT

    test::SceneRig m_scene;

    // The form in an active window (a window that is not active takes no keys).
    std::unique_ptr<test::QmlScene> activeForm() { return std::make_unique<test::QmlScene>(m_scene.engine(), kForm); }

private slots:
    void initTestCase()
    {
        m_scene.start();
        FocusHelper::suppressFocusFrames(QCoreApplication::instance()); // a second call adds nothing
    }

    void cleanup() { m_scene.finishTest(); }

    // Tab still walks the controls, but none of them turns on the visual
    // focus that the style draws as a frame.
    void tabbingDrawsNoFocusFrame()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        QStringList reached;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(scene->window(), Qt::Key_Tab);
            QQuickItem *focused = scene->window()->activeFocusItem();
            QVERIFY(focused);
            if (!reached.contains(focused->objectName()))
                reached.append(focused->objectName());
            const QVariant visualFocus = focused->property("visualFocus");
            if (visualFocus.isValid())
                QVERIFY2(!visualFocus.toBool(), qPrintable(focused->objectName()));
        }
        for (const char *name : {"button", "switch", "check", "slider", "combo"})
            QVERIFY2(reached.contains(QLatin1String(name)), qPrintable(reached.join(u", "_s)));
        QTest::keyClick(scene->window(), Qt::Key_Backtab);
        QVERIFY(!scene->window()->activeFocusItem()->property("visualFocus").toBool());
    }

    void clearingFocusStopsTyping()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        for (const char *name : {"field", "scopedField", "button"}) {
            QQuickItem *item = scene->item(QLatin1String(name));
            item->forceActiveFocus();
            QVERIFY(item->hasActiveFocus());
            FocusHelper::clearKeyboardFocus(scene->window());
            QVERIFY2(!item->hasActiveFocus(), name);
            QQuickItem *now = scene->window()->activeFocusItem();
            QVERIFY2(!now || now == scene->window()->contentItem(), name);
        }
        type(scene->window(), "abc");
        QCOMPARE(scene->item(u"field"_s)->property("text").toString(), QString());
        QCOMPARE(scene->item(u"scopedField"_s)->property("text").toString(), QString());

        // Typing works again once a field is given focus.
        scene->item(u"field"_s)->forceActiveFocus();
        type(scene->window(), "abc");
        QCOMPARE(scene->item(u"field"_s)->property("text").toString(), u"abc"_s);
    }

    void clearingWithoutAWindowDoesNothing()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        QQuickItem *field = scene->item(u"field"_s);
        field->forceActiveFocus();
        FocusHelper::clearKeyboardFocus(nullptr);
        QVERIFY(field->hasActiveFocus());
        FocusHelper::clearKeyboardFocus(); // the focus window
        QVERIFY(!field->hasActiveFocus());
    }

    void redirectRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loses");
        QTest::newRow("text field") << u"field"_s << true;
        QTest::newRow("field in a focus scope") << u"scopedField"_s << true;
        QTest::newRow("list") << u"list"_s << true;
        QTest::newRow("button in a list row") << u"rowButton"_s << false;
        QTest::newRow("button") << u"button"_s << false;
    }

    // While a suppressor is shown, text inputs and lists lose focus as soon as
    // they get it; other controls keep it.
    void redirectRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, loses);
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        QQuickItem *suppressor = scene->item(u"suppressor"_s);
        QQuickItem *item = scene->item(name);
        suppressor->setVisible(true);
        item->forceActiveFocus();
        QVERIFY(item->hasActiveFocus());
        if (loses) {
            QTRY_VERIFY(!item->hasActiveFocus());
            QVERIFY(suppressor->hasActiveFocus());
        } else {
            QVERIFY(test::deliverPostedEvents());
            QVERIFY(item->hasActiveFocus());
        }
    }

    void showingTheSuppressorTakesFocusAlreadyHeld()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        QQuickItem *field = scene->item(u"field"_s);
        field->forceActiveFocus();
        type(scene->window(), "ab");
        scene->item(u"suppressor"_s)->setVisible(true);
        QTRY_VERIFY(!field->hasActiveFocus());
        type(scene->window(), "cd");
        QCOMPARE(field->property("text").toString(), u"ab"_s);

        // Hidden again, it leaves focus alone.
        scene->item(u"suppressor"_s)->setVisible(false);
        field->forceActiveFocus();
        QVERIFY(test::deliverPostedEvents());
        QVERIFY(field->hasActiveFocus());
    }

    void refreshChecksAtOnce()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        auto *suppressor = qobject_cast<FocusSuppressor *>(scene->item(u"suppressor"_s));
        QVERIFY(suppressor);
        QSignalSpy refreshed(suppressor, &FocusSuppressor::refreshChanged);
        suppressor->setVisible(true);
        // The look that showing it queued has been taken.
        QVERIFY(test::deliverPostedEvents());
        QQuickItem *field = scene->item(u"field"_s);
        // Focus given with the focus signal blocked, as a view might do
        // before the suppressor hears of it.
        {
            const QSignalBlocker blocker(scene->window());
            field->forceActiveFocus();
        }
        QVERIFY(field->hasActiveFocus());
        suppressor->setRefresh(u"Земфира"_s);
        QVERIFY(!field->hasActiveFocus());
        suppressor->setRefresh(u"Земфира"_s);
        QCOMPARE(refreshed.count(), 1);
    }

    // The suppressor takes no clicks: what lies under it still gets them.
    void contentUnderTheSuppressorStaysClickable()
    {
        auto scene = activeForm();
        QVERIFY(scene && scene->ok());
        scene->item(u"suppressor"_s)->setVisible(true);
        QSignalSpy clicked(scene->item(u"under"_s), SIGNAL(clicked(QQuickMouseEvent *)));
        QTest::mouseClick(scene->window(), Qt::LeftButton, {}, QPoint(340, 240));
        QCOMPARE(clicked.count(), 1);
    }

    // A sheet is a window of its own; a suppressor elsewhere leaves it alone.
    void otherWindowsKeepTheirFocus()
    {
        auto covered = activeForm();
        QVERIFY(covered && covered->ok());
        covered->item(u"suppressor"_s)->setVisible(true);
        auto sheet = activeForm();
        QVERIFY(sheet && sheet->ok());
        QQuickItem *field = sheet->item(u"field"_s);
        field->forceActiveFocus();
        QVERIFY(test::deliverPostedEvents());
        QVERIFY(field->hasActiveFocus());
    }

    // A layer made bit by bit between frames over an open one: from its
    // first step on, no Esc reaches the layer under it. The presses made
    // before it can answer wait for it, as one, and a press after that
    // reaches it at once.
    void escWaitsForTheLayerBeingMade()
    {
        test::QmlScene scene(m_scene.engine(), R"(
import QtQuick
import Nimbra
Item {
    id: root
    width: 400; height: 300
    property int over: 0
    property int under: 0
    property Component made: Component {
        Item { LayerEscape { kind: WindowLayer.ClipPlayer; open: true; onEscapePressed: ++root.over } }
    }
    LayerEscape { kind: WindowLayer.FullscreenPlayer; open: true; onEscapePressed: ++root.under }
}
)");
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(QTest::qWaitForWindowActive(scene.window(), nimbra::test::kEventLimitMs));
        QQuickItem *root = scene.root();
        QTest::keyClick(scene.window(), Qt::Key_Escape);
        QCOMPARE(root->property("under").toInt(), 1);

        QQmlEngine &engine = m_scene.engine();
        QQmlIncubationController *const before = engine.incubationController();
        QQmlIncubationController stepper;
        engine.setIncubationController(&stepper);
        // Put in the window at once, as a Loader does.
        struct IntoScene : QQmlIncubator
        {
            QQuickItem *root;
            explicit IntoScene(QQuickItem *root) : QQmlIncubator(Asynchronous), root(root) { }
            void setInitialState(QObject *made) override { qobject_cast<QQuickItem *>(made)->setParentItem(root); }
        } incubator(root);
        root->property("made").value<QQmlComponent *>()->create(incubator, qmlContext(root));
        int waiting = 0;
        std::atomic<bool> whileTrue = false; // one small step per call
        while (incubator.isLoading()) {
            stepper.incubateWhile(&whileTrue);
            const WindowLayer *top = WindowLayer::topmost();
            if (!incubator.isLoading() || (top && top->kind() == WindowLayer::Kind::ClipPlayer && top->answersEscape()))
                break;
            QTest::keyClick(scene.window(), Qt::Key_Escape);
            ++waiting;
            QCOMPARE(root->property("under").toInt(), 1);
            QCOMPARE(root->property("over").toInt(), 0);
        }
        while (incubator.isLoading())
            stepper.incubateWhile(&whileTrue);
        engine.setIncubationController(before);
        QVERIFY(incubator.isReady());
        QVERIFY(waiting > 2);
        QTRY_COMPARE(root->property("over").toInt(), 1);
        QTest::keyClick(scene.window(), Qt::Key_Escape);
        QCOMPARE(root->property("over").toInt(), 2);
        QVERIFY(test::deliverPostedEvents());
        QCOMPARE(root->property("over").toInt(), 2);
        QCOMPARE(root->property("under").toInt(), 1);
        delete incubator.object();
    }
};

QTEST_MAIN(TestFocus)
#include "tst_focus.moc"
