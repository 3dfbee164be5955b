// The trackpad skip: the recogniser over scripted gestures, and the window
// filter that feeds it from Qt's wheel events without consuming them.
#include "api/storeregistry.h"
#include "player/trackpadskipmonitor.h"
#include "player/trackpadskiprecognizer.h"

#include "playerrig.h"
#include "testenv.h"

#include <QPointingDevice>
#include <QQuickItem>
#include <QQuickWindow>
#include <QWheelEvent>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using Phase = TrackpadSkipRecognizer::Phase;
using Action = TrackpadSkipRecognizer::Action;

namespace {

// One step of a script: a scroll event at a time, or (idle) the pause
// timer of phaseless input firing at that time.
struct Step
{
    qint64 at;
    double dx = 0;
    double dy = 0;
    Phase phase = Phase::None;
    Phase momentum = Phase::None;
    bool precise = true;
    bool idle = false;
};

Step began(qint64 at) { return {at, 0, 0, Phase::Began}; }
Step moved(qint64 at, double dx, double dy = 0) { return {at, dx, dy, Phase::Changed}; }
Step ended(qint64 at) { return {at, 0, 0, Phase::Ended}; }
Step momentum(qint64 at, double dx, Phase phase) { return {at, dx, 0, Phase::None, phase}; }
Step bare(qint64 at, double dx, double dy = 0) { return {at, dx, dy}; }
Step idle(qint64 at) { return {at, 0, 0, Phase::None, Phase::None, true, true}; }

// A whole sideways gesture adding up to total in three moves.
QList<Step> swipeBy(qint64 at, double total)
{
    return {began(at), moved(at + 10, total / 3), moved(at + 20, total / 3), moved(at + 30, total / 3),
        ended(at + 40)};
}

QList<Action> run(const QList<Step> &steps)
{
    TrackpadSkipRecognizer recognizer;
    recognizer.setEnabled(true);
    QList<Action> actions;
    for (const Step &step : steps) {
        const Action action = step.idle
            ? recognizer.idle(step.at)
            : recognizer.scroll({step.dx, step.dy, step.precise, step.phase, step.momentum}, step.at);
        if (action != Action::None)
            actions.append(action);
    }
    return actions;
}

} // namespace

class TestTrackpadSkip : public QObject
{
    Q_OBJECT
private slots:
    // The player store keeps an offline folder: in the test's own home.
    void initTestCase() { initTestEnvironment(); }

    void gestures_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<Action>>("expected");
        const QList<Action> none;
        QTest::newRow("-45 skips forward") << swipeBy(0, -45) << QList {Action::Next};
        QTest::newRow("+45 skips back") << swipeBy(0, 45) << QList {Action::Previous};
        QTest::newRow("44 does nothing") << swipeBy(0, 44) << none;
        QTest::newRow("-44 does nothing") << swipeBy(0, -44) << none;
        QTest::newRow("the began delta does not count")
            << QList {Step {0, -40, 0, Phase::Began}, moved(10, -30), ended(20)} << none;
        QTest::newRow("second skip inside the cooldown") << swipeBy(0, -60) + swipeBy(100, -60)
                                                         << QList {Action::Next};
        QTest::newRow("second skip after the cooldown")
            << swipeBy(0, -60) + swipeBy(450, -60) << QList {Action::Next, Action::Next};
        QTest::newRow("a short gesture starts no cooldown")
            << swipeBy(0, 40) + swipeBy(60, 50) << QList {Action::Previous};
        QTest::newRow("momentum after the lift skips once")
            << swipeBy(0, -60)
                + QList {momentum(50, -30, Phase::Began), momentum(60, -30, Phase::Changed),
                    momentum(700, -30, Phase::Changed), momentum(710, 0, Phase::Ended)}
            << QList {Action::Next};
        QTest::newRow("vertical scrolls never skip")
            << QList {began(0), moved(10, -30, 60), moved(20, -30, 50), moved(30, -30, 50), ended(40)} << none;
        QTest::newRow("diagonal at the edge never skips")
            << QList {began(0), moved(10, -30, 50), moved(20, -30, 50), ended(30)} << none;
        QTest::newRow("only the sideways events add up")
            << QList {began(0), moved(10, -40), moved(20, -40, 200), moved(30, -4), ended(40)} << none;
        QTest::newRow("mouse wheel never skips")
            << QList {Step {0, -120, 0, Phase::None, Phase::None, false}, Step {10, -120, 0, Phase::None,
                                                                           Phase::None, false}, idle(200)}
            << none;
        QTest::newRow("no phases: ends after a pause")
            << QList {bare(0, -20), bare(16, -20), bare(32, -20), idle(182)} << QList {Action::Next};
        QTest::newRow("no phases: short gesture")
            << QList {bare(0, 20), bare(16, 20), idle(166)} << none;
        QTest::newRow("no phases: a late timer is made up for by the next event")
            << QList {bare(0, -50), bare(400, 10)} << QList {Action::Next};
        QTest::newRow("no phases: two gestures") << QList {bare(0, 50), idle(150), bare(700, -50), idle(850)}
                                                 << QList {Action::Previous, Action::Next};
        QTest::newRow("idle without a gesture does nothing") << QList {idle(10)} << none;
    }

    void gestures()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QList<Action>, expected);
        QCOMPARE(run(steps), expected);
    }

    void swipesAndDisabling()
    {
        TrackpadSkipRecognizer recognizer;
        QCOMPARE(recognizer.swipe(-1, 0), Action::None);
        QCOMPARE(recognizer.scroll({-60, 0, true, Phase::Changed}, 0), Action::None);
        recognizer.setEnabled(true);
        QCOMPARE(recognizer.swipe(-1, 1000), Action::Next);
        QCOMPARE(recognizer.swipe(1, 1200), Action::None);
        // A vertical swipe skips nothing but starts the cooldown.
        QCOMPARE(recognizer.swipe(0, 1500), Action::None);
        QCOMPARE(recognizer.swipe(1, 1800), Action::None);
        QCOMPARE(recognizer.swipe(1, 1950), Action::Previous);
        // Disabling mid-gesture forgets what was gathered.
        recognizer.scroll({0, 0, true, Phase::Began}, 3000);
        recognizer.scroll({-60, 0, true, Phase::Changed}, 3010);
        recognizer.setEnabled(false);
        recognizer.setEnabled(true);
        QCOMPARE(recognizer.scroll({0, 0, true, Phase::Ended}, 3020), Action::None);
    }

    // The filter on a real window: phased and phaseless wheel events skip,
    // and the item under the pointer still gets every event.
    void windowFilter()
    {
        PlayerRig rig;
        QQuickWindow window;
        window.resize(200, 200);
        auto *sink = new WheelSink(window.contentItem());
        sink->setSize(QSizeF(200, 200));
        StoreRegistry::set(rig.store.get());
        TrackpadSkipMonitor monitor(window.contentItem());
        qint64 now = 10000;
        monitor.setClock([&now] { return now; });
        QVERIFY(!monitor.isWatching());

        const auto wheel = [&](QPoint pixels, Qt::ScrollPhase phase, QPoint angles = {}) {
            QWheelEvent event(QPointF(50, 50), QPointF(50, 50), pixels, angles, Qt::NoButton, Qt::NoModifier,
                phase, false);
            QCoreApplication::sendEvent(&window, &event);
            now += 20;
        };
        // No current track: nothing is watched.
        wheel({-60, 0}, Qt::ScrollUpdate);
        QCOMPARE(sink->count, 1);

        rig.play({u"a"_s, u"b"_s, u"c"_s}, 1);
        QVERIFY(monitor.isWatching());
        wheel({}, Qt::ScrollBegin);
        wheel({-30, 0}, Qt::ScrollUpdate);
        wheel({-30, 0}, Qt::ScrollUpdate);
        wheel({}, Qt::ScrollEnd);
        QCOMPARE(rig.currentId(), u"c"_s);
        // Qt Quick delivers only events that move; every one of them arrived.
        QCOMPARE(sink->count, 3);

        // Phaseless input (X11) ends by the pause timer.
        now += 1000;
        wheel({30, 0}, Qt::NoScrollPhase);
        wheel({30, 0}, Qt::NoScrollPhase);
        QCOMPARE(rig.currentId(), u"c"_s);
        QVERIFY(monitor.awaitsPause());
        QTRY_COMPARE(rig.currentId(), u"b"_s);
        QVERIFY(!monitor.awaitsPause());

        // A mouse wheel: angles only, from a mouse. It skips neither at once
        // nor after a pause.
        now += 1000;
        wheel({}, Qt::NoScrollPhase, {-480, 0});
        QVERIFY(!monitor.awaitsPause());
        QCOMPARE(rig.currentId(), u"b"_s);
        QCOMPARE(sink->count, 6);
    }

private:
    struct WheelSink : QQuickItem
    {
        using QQuickItem::QQuickItem;
        int count = 0;
        void wheelEvent(QWheelEvent *event) override
        {
            ++count;
            event->accept();
        }
    };
};

QTEST_MAIN(TestTrackpadSkip)
#include "tst_trackpadskip.moc"
