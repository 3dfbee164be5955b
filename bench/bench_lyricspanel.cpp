// What a very long lyrics text costs: reading it, and the longest stretch
// the window's thread is kept busy when the lyrics panel is shown and the
// text arrives (the panel on the software renderer, offscreen).
#include "fakeaudiobackend.h"
#include "manualclock.h"
#include "qmlscene.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/session.h"
#include "api/storeregistry.h"
#include "player/lyricsservice.h"
#include "player/parsedlyrics.h"
#include "player/playerstore.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QString timedText(int lines)
{
    QStringList rows;
    rows.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        const int cs = i * 37;
        rows << u"[%1:%2.%3]строка номер %4 и ещё немного слов"_s.arg(cs / 6000 % 100, 2, 10, QChar(u'0'))
                    .arg(cs / 100 % 60, 2, 10, QChar(u'0'))
                    .arg(cs % 100, 2, 10, QChar(u'0'))
                    .arg(i);
    }
    return rows.join(u'\n');
}

} // namespace

class BenchLyricsPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }

    void parse_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("25000") << 25000;
        QTest::newRow("250000") << 250000;
    }

    void parse()
    {
        QFETCH(int, lines);
        const QString text = timedText(lines);
        QBENCHMARK
        {
            QCOMPARE(ParsedLyrics::parse(text).lines.size(), lines);
        }
    }

    // The panel is shown, then the text comes: the longest time between two
    // turns of the window's event loop until the lines are in, reported as
    // the benchmark's figure (milliseconds).
    void longestStallWhileTheTextArrives()
    {
        constexpr int lines = 250000;
        const QString text = timedText(lines);
        FakeAudioBackend backend;
        Session session;
        ManualClock clock;
        LyricsService lyrics;
        PlayerStore store(&backend, &session, &clock, &lyrics);
        StoreRegistry::set(&store);
        const TrackOut track = makeTrack(u"long"_s, QString(), u"[00:00.00]…"_s);
        store.play(track, {track});

        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QmlScene scene(engine, QByteArray("import QtQuick\nimport Nimbra\nLyricsPanel { width: 700; height: 600 }\n"),
            QSize(700, 600));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(QTest::qWaitForWindowExposed(scene.window()));
        QObject *list = scene.item(u"lyricsLines"_s);
        QVERIFY(list);

        QElapsedTimer turn;
        turn.start();
        store.setCurrentLyrics(text);
        qint64 longest = turn.nsecsElapsed();
        QElapsedTimer overall;
        overall.start();
        // The frames after the lines came are part of the cost too.
        int framesAfter = 0;
        while (framesAfter < 3 && overall.elapsed() < 30000) {
            turn.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            longest = std::max(longest, turn.nsecsElapsed());
            if (list->property("count").toInt() == lines) {
                ++framesAfter;
                scene.window()->requestUpdate();
            }
        }
        QCOMPARE(list->property("count").toInt(), lines);
        QTest::setBenchmarkResult(double(longest) / 1e6, QTest::WalltimeMilliseconds);
        qInfo("longest stall of the window's thread: %.1f ms", double(longest) / 1e6);
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(u"Basic"_s);
    BenchLyricsPanel bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_lyricspanel.moc"
