// Which open layer of the window answers Esc: steps of opening, closing
// and deleting layers from a table, with the answering layer after each
// step, and never two answering at once.
#include "shell/windowlayer.h"

#include <QtTest>

#include <map>
#include <memory>

using namespace nimbra;
using namespace Qt::StringLiterals;

class TestWindowLayer : public QObject
{
    Q_OBJECT

private slots:
    void topmostOpenLayerAnswers_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("answering");
        // Layers: f (fullscreen player), c (clip player), s (a sheet). "+x"
        // opens x, "-x" closes it, "~x" deletes it; "^x" opens x before it
        // can answer (its shortcut is not in the window yet), "!x" lets it.
        // "e" presses Esc while no shortcut can take it; "." runs what the
        // event loop holds, and the table names the layer the Esc reached
        // (">x", ">-" for none) instead of the one answering.
        QTest::newRow("one open") << u"+f"_s << u"f"_s;
        QTest::newRow("clip over the fullscreen player") << u"+f +c"_s << u"f c"_s;
        QTest::newRow("order of opening does not matter") << u"+c +f"_s << u"c c"_s;
        QTest::newRow("closing the top hands Esc down") << u"+f +c -c"_s << u"f c f"_s;
        QTest::newRow("closing the one under keeps the top") << u"+f +c -f -c"_s << u"f c c -"_s;
        QTest::newRow("a deleted top hands Esc down") << u"+f +c ~c"_s << u"f c f"_s;
        QTest::newRow("reopened under an open top") << u"+c +f -f +f"_s << u"c c c c"_s;
        QTest::newRow("a sheet over both players") << u"+f +c +s -s"_s << u"f c s c"_s;
        QTest::newRow("a player opened under a sheet") << u"+s +f"_s << u"s s"_s;
        QTest::newRow("a top being made answers for nobody under it") << u"+f ^c !c"_s << u"f - c"_s;
        QTest::newRow("made under an open top") << u"+c ^f !f -c"_s << u"c c c f"_s;
        QTest::newRow("a held Esc reaches its layer once it answers") << u"+f ^c e !c ."_s << u"f - - c >c"_s;
        QTest::newRow("a held Esc goes when another layer covers its own")
            << u"+f ^c e +s !c -s ."_s << u"f - - s s c >-"_s;
        QTest::newRow("a held Esc goes when its layer closes") << u"+f ^c e -c !c +c ."_s << u"f - - f f c >-"_s;
        QTest::newRow("a held Esc goes when its layer closes before its turn") << u"^c e !c -c ."_s << u"- - c - >-"_s;
    }

    void topmostOpenLayerAnswers()
    {
        QFETCH(QString, steps);
        QFETCH(QString, answering);
        QStringList reached;
        std::map<QString, std::unique_ptr<WindowLayer>> layers;
        const auto name = [&](const WindowLayer *layer) {
            for (const auto &[key, value] : layers) {
                if (value.get() == layer)
                    return key;
            }
            return u"-"_s;
        };
        int mostAnswering = 0;
        const auto count = [&] {
            int answering = 0;
            for (const auto &entry : layers)
                answering += entry.second && entry.second->answersEscape() ? 1 : 0;
            mostAnswering = std::max(mostAnswering, answering);
        };
        for (const QString &key : {u"f"_s, u"c"_s, u"s"_s}) {
            auto layer = std::make_unique<WindowLayer>();
            layer->setKind(key == u"f" ? WindowLayer::Kind::FullscreenPlayer
                    : key == u"c"      ? WindowLayer::Kind::ClipPlayer
                                       : WindowLayer::Kind::Sheet);
            connect(layer.get(), &WindowLayer::answersEscapeChanged, this, count);
            connect(layer.get(), &WindowLayer::escapePressed, this, [&, key] { reached << key; });
            layers[key] = std::move(layer);
        }

        QStringList seen;
        for (const QString &step : steps.split(u' ')) {
            const QString key = step.mid(1);
            if (step.startsWith(u'+') || step.startsWith(u'^')) {
                layers[key]->setReady(step.startsWith(u'+'));
                layers[key]->setOpen(true);
            } else if (step.startsWith(u'!'))
                layers[key]->setReady(true);
            else if (step.startsWith(u'-'))
                layers[key]->setOpen(false);
            else if (step.startsWith(u'~'))
                layers[key].reset();
            else if (step == u"e")
                QVERIFY(WindowLayer::holdEscape());
            else if (step == u".") {
                QCoreApplication::sendPostedEvents();
                seen << u">"_s + (reached.isEmpty() ? u"-"_s : reached.join(u','));
                reached.clear();
                continue;
            }
            const WindowLayer *top = WindowLayer::topmost();
            const WindowLayer *answering = top && top->isReady() ? top : nullptr;
            seen << name(answering);
            for (const auto &entry : layers) {
                if (entry.second)
                    QCOMPARE(entry.second->answersEscape(), entry.second.get() == answering);
            }
        }
        QCOMPARE(seen.join(u' '), answering);
        QVERIFY(mostAnswering <= 1);
    }

    // A followed link asks the open sheets to go, and nothing else.
    void closeAllAsksOpenLayersOfTheKind()
    {
        WindowLayer openSheet, closedSheet, player;
        openSheet.setKind(WindowLayer::Kind::Sheet);
        closedSheet.setKind(WindowLayer::Kind::Sheet);
        openSheet.setOpen(true);
        player.setOpen(true);
        QSignalSpy openAsked(&openSheet, &WindowLayer::closeRequested);
        QSignalSpy closedAsked(&closedSheet, &WindowLayer::closeRequested);
        QSignalSpy playerAsked(&player, &WindowLayer::closeRequested);
        WindowLayer::closeAll(WindowLayer::Kind::Sheet);
        QCOMPARE(openAsked.size(), 1);
        QCOMPARE(closedAsked.size(), 0);
        QCOMPARE(playerAsked.size(), 0);
    }
};

QTEST_MAIN(TestWindowLayer)
#include "tst_windowlayer.moc"
