// One walk through the player interface with real audio from the local
// service into the null sink: play from a list, open the fullscreen player
// from the mini player, seek with the seek bar, skip with a sideways
// trackpad gesture, click a line of the synced lyrics, and let the sleep
// timer stop playback at the end of the track.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/jsoncoding.h"
#include "player/parsedlyrics.h"
#include "player/playerstore.h"

#include "devserviceprocess.h"
#include "memorysecretstore.h"
#include "scenerig.h"
#include "screentest.h"

#include <QProcess>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QWheelEvent>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

bool soundServerAnswers()
{
    QProcess pactl;
    pactl.start(u"pactl"_s, {u"info"_s});
    return pactl.waitForFinished(3000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

} // namespace

class TestPlayerEndToEnd : public QObject
{
    Q_OBJECT

    SceneRig m_scene;
    std::unique_ptr<DevServiceProcess> m_service;
    std::unique_ptr<AppContext> m_app;

    QQuickWindow *window() const { return m_app->window(); }
    QQuickItem *item(const QString &objectName) const { return findItem(window(), objectName); }
    PlayerStore *player() const { return m_app->player(); }
    QString currentId() const { return player()->currentTrack() ? player()->currentTrack()->id : QString(); }

    void clickAt(QQuickItem *target, double fraction)
    {
        QVERIFY(target && isShown(target));
        QVERIFY(waitUntilStill(target));
        const QPointF point = target->mapToScene(QPointF(target->width() * fraction, target->height() / 2));
        QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
    }

    void wheel(QPoint pixels, Qt::ScrollPhase phase)
    {
        const QPointF centre(window()->width() / 2.0, window()->height() / 2.0);
        QWheelEvent event(centre, window()->mapToGlobal(centre), pixels, {}, Qt::NoButton, Qt::NoModifier, phase,
            false);
        QCoreApplication::sendEvent(window(), &event);
    }

private slots:
    void initTestCase()
    {
        if (!soundServerAnswers())
            QSKIP("No PulseAudio server answers.");
        m_scene.start();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
    }

    // A warning left while the window closed fails the walk too.
    void cleanup()
    {
        m_app.reset();
        m_scene.finishTest();
    }

    void cleanupTestCase() { m_service.reset(); }

    void listenerWalk()
    {
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        failOnQmlWarnings();
        m_app = std::make_unique<AppContext>(environment);
        QVERIFY(m_app->start());
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));

        // Play from a list: a long track, then a short one with its own
        // synced lyrics.
        QList<TrackOut> list;
        for (const QString &id : {u"t00008"_s, u"t00001"_s, u"t00013"_s})
            list << decodeJson<TrackOut>(m_service->get(u"/api/v1/tracks/"_s + id).body);
        player()->play(list.first(), list);
        QTRY_VERIFY_WITH_TIMEOUT(player()->isPlaying() && player()->elapsed() > 0.3, 10000);
        QTRY_VERIFY(isShown(item(u"miniPlayer"_s)));

        // The cover opens the fullscreen player.
        QVERIFY(click(window(), item(u"miniCover"_s)));
        QTRY_VERIFY(isShown(item(u"fullscreenPlayer"_s)));
        QTRY_VERIFY(player()->duration() > 100);

        // A click in the middle of the seek bar moves playback there.
        clickAt(item(u"seekBar"_s), 0.5);
        const double middle = player()->duration() / 2;
        QVERIFY2(qAbs(player()->elapsed() - middle) < 3, qPrintable(QString::number(player()->elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(player()->elapsed() > middle + 0.3, 5000);
        QVERIFY(player()->elapsed() < middle + 4);

        // A sideways two-finger gesture to the left: the next track.
        wheel({}, Qt::ScrollBegin);
        for (int i = 0; i < 4; ++i)
            wheel({-15, 1}, Qt::ScrollUpdate);
        wheel({}, Qt::ScrollEnd);
        QCOMPARE(currentId(), u"t00001"_s);
        QTRY_VERIFY_WITH_TIMEOUT(player()->isPlaying() && player()->elapsed() > 0.2, 10000);

        // Lyrics, and a click on the third line plays from its stamp.
        QTRY_VERIFY(isShown(item(u"lyricsButton"_s)));
        QVERIFY(click(window(), item(u"lyricsButton"_s)));
        QTRY_VERIFY(isShown(item(u"lyricsPanel"_s)));
        const ParsedLyrics parsed = ParsedLyrics::parse(player()->currentLyrics().value_or(QString()));
        QVERIFY(parsed.isLrc && parsed.lines.size() >= 6);
        const double stamp = *parsed.lines.at(2).time;
        QQuickItem *lines = item(u"lyricsLines"_s);
        QQuickItem *line = nullptr;
        QTRY_VERIFY(QMetaObject::invokeMethod(lines, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, line), Q_ARG(int, 2))
            && line && isShown(line));
        QVERIFY(click(window(), line));
        QVERIFY2(qAbs(player()->elapsed() - stamp) < 0.15, qPrintable(QString::number(player()->elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(item(u"lyricsPanel"_s)->findChild<QObject *>(u"lyricsModel"_s)->property("activeIndex").toInt(), 2,
            3000);

        // The sleep timer at the end of the track: playback stops there.
        QTest::keyClick(window(), Qt::Key_Escape);
        QTRY_VERIFY(isShown(item(u"sleepTimerButton"_s)));
        QVERIFY(click(window(), item(u"sleepTimerButton"_s)));
        QTRY_VERIFY(isShown(item(u"sleepTimerEndOfTrack"_s)));
        QVERIFY(click(window(), item(u"sleepTimerEndOfTrack"_s)));
        QVERIFY(player()->sleepTimer().isEndOfTrack());
        // Only the last moment of the track is left to play, so the wait is
        // about a second of audio however loaded the machine is.
        player()->seek(player()->duration() - 1.5);
        QTRY_VERIFY_WITH_TIMEOUT(!player()->isPlaying(), 60000);
        QCOMPARE(currentId(), u"t00001"_s);
        QVERIFY(player()->sleepTimer().isOff());
    }
};

QTEST_MAIN(TestPlayerEndToEnd)
#include "tst_playere2e.moc"
