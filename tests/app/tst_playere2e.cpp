// One walk through the player interface with real audio from the local
// service into the null sink: play from a list, open the fullscreen player
// from the mini player, seek with the seek bar, skip with a sideways
// trackpad gesture, click a line of the synced lyrics, and let the sleep
// timer stop playback at the end of the track. A second walk follows the
// lit line of the lyrics as it moves.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/catalogrecords.h"
#include "api/jsoncoding.h"
#include "player/lyricspanelmodel.h"
#include "player/lyricsservice.h"
#include "player/parsedlyrics.h"
#include "player/playerstore.h"

#include "devserviceprocess.h"
#include "memorysecretstore.h"
#include "scenerig.h"
#include "screentest.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QWheelEvent>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// How long real audio may take to start, land a seek or change tracks: the
// first track of a run loads the media stack and wakes the idle sink, and a
// sanitizer build on a busy machine is many times slower than a quiet one.
// A wait ends as soon as its event comes.
constexpr int kAudioMs = 30000;

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

    void signIn()
    {
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        failOnQmlWarnings();
        m_app = std::make_unique<AppContext>(environment);
        QVERIFY(m_app->start());
        QVERIFY(waitUntilActive(window()));
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
    }

    // How far the lit row's anchor point stands from the panel's, in pixels
    // (infinite while the row is not lit).
    double offAnchor(int index)
    {
        QQuickItem *lines = item(u"lyricsLines"_s);
        QQuickItem *row = nullptr;
        QMetaObject::invokeMethod(lines, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, row), Q_ARG(int, index));
        if (!row || !row->property("lit").toBool())
            return qInf();
        const double top = row->mapToItem(lines, QPointF(0, 0)).y();
        return std::abs(top - LyricsPanelModel::rowTopInView(lines->height(), row->height()));
    }

    // Waits until the line is lit and the column has come to rest.
    void waitForLitLine(int index)
    {
        QObject *model = item(u"lyricsPanel"_s)->findChild<QObject *>(u"lyricsModel"_s);
        QTRY_COMPARE(model->property("activeIndex").toInt(), index);
        QTRY_VERIFY(!item(u"lyricsLines"_s)->property("gliding").toBool());
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
        signIn();

        // Play from a list: a long track, then a short one with its own
        // synced lyrics.
        QList<TrackOut> list;
        for (const QString &id : {u"t00008"_s, u"t00001"_s, u"t00013"_s})
            list << decodeJson<TrackOut>(m_service->get(u"/api/v1/tracks/"_s + id).body);
        player()->play(list.first(), list);
        QTRY_VERIFY_WITH_TIMEOUT(player()->isPlaying() && player()->elapsed() > 0.3, kAudioMs);
        QTRY_VERIFY(isShown(item(u"miniPlayer"_s)));

        // The cover opens the fullscreen player.
        QVERIFY(click(window(), item(u"miniCover"_s)));
        QTRY_VERIFY(isShown(item(u"fullscreenPlayer"_s)));
        QTRY_VERIFY(player()->duration() > 100);

        // A click in the middle of the seek bar moves playback there, and it
        // plays on from there: no further on than the time since allows,
        // since the audio keeps to the clock however slow the machine is.
        clickAt(item(u"seekBar"_s), 0.5);
        QElapsedTimer sinceSeek;
        sinceSeek.start();
        const double middle = player()->duration() / 2;
        QVERIFY2(qAbs(player()->elapsed() - middle) < 3, qPrintable(QString::number(player()->elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(player()->elapsed() > middle + 0.3, kAudioMs);
        QVERIFY2(player()->elapsed() < middle + 4 + double(sinceSeek.elapsed()) / 1000,
            qPrintable(
                u"%1 s %2 ms after the seek to %3 s"_s.arg(player()->elapsed()).arg(sinceSeek.elapsed()).arg(middle)));

        // A sideways two-finger gesture to the left: the next track.
        wheel({}, Qt::ScrollBegin);
        for (int i = 0; i < 4; ++i)
            wheel({-15, 1}, Qt::ScrollUpdate);
        wheel({}, Qt::ScrollEnd);
        QCOMPARE(currentId(), u"t00001"_s);
        QTRY_VERIFY_WITH_TIMEOUT(player()->isPlaying() && player()->elapsed() > 0.2, kAudioMs);

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
        // The line lights as playback goes on from it, however briefly a
        // busy machine lets the test see it lit.
        auto *lyrics = item(u"lyricsPanel"_s)->findChild<LyricsPanelModel *>(u"lyricsModel"_s);
        QList<int> lit;
        connect(lyrics, &LyricsPanelModel::activeIndexChanged, this, [&] { lit.append(lyrics->activeIndex()); });
        QVERIFY(click(window(), line));
        QVERIFY2(qAbs(player()->elapsed() - stamp) < 0.15, qPrintable(QString::number(player()->elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(lyrics->activeIndex() == 2 || lit.contains(2), kAudioMs);
        disconnect(lyrics, nullptr, this, nullptr);

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

    // The lit line of the lyrics stands at its anchor when the panel opens,
    // after playback lights the next line and after a seek back. The track
    // comes from a list of brief records: a lookup by its title answers
    // first, and the track's own lyrics, which the full record the
    // fullscreen player fetches brings, take the place of its answer.
    void litLineFollowsTheAnchor()
    {
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), m_service->baseUrl().toString());
        signIn();
        const QList<TrackOut> brief
            = decodeJson<TrackPage>(m_service->get(u"/api/v1/tracks?brief=true&size=10"_s).body).items;
        const TrackOut full = decodeJson<TrackOut>(m_service->get(u"/api/v1/tracks/t00008"_s).body);
        QCOMPARE(brief.at(7).id, full.id);
        QVERIFY(!brief.at(7).lyrics && full.lyrics);
        const QString own = full.lyrics->trimmed();
        player()->play(brief.at(7), brief);
        QTRY_VERIFY_WITH_TIMEOUT(player()->isPlaying() && !player()->lyricsLoading(), kAudioMs);
        QVERIFY(player()->currentLyrics() && *player()->currentLyrics() != own);

        QVERIFY(click(window(), item(u"miniCover"_s)));
        QTRY_VERIFY(isShown(item(u"fullscreenPlayer"_s)));
        QTRY_COMPARE(player()->currentLyrics(), std::optional<QString>(own));

        // Opened, paused, a little before the fourth line: the third is lit.
        const ParsedLyrics parsed = ParsedLyrics::parse(own);
        QVERIFY(parsed.isLrc && parsed.lines.size() >= 6);
        player()->pauseIfPlaying();
        player()->seek(*parsed.lines.at(3).time - 3);
        QTRY_VERIFY(isShown(item(u"lyricsButton"_s)));
        QVERIFY(click(window(), item(u"lyricsButton"_s)));
        QTRY_VERIFY(isShown(item(u"lyricsPanel"_s)));
        waitForLitLine(2);
        QTRY_VERIFY2(offAnchor(2) < 1.5, qPrintable(u"placed on opening %1 px off"_s.arg(offAnchor(2))));

        // Playback lights the next line; the column glides to it.
        player()->togglePlayPause();
        QVERIFY(player()->isPlaying());
        waitForLitLine(3);
        QVERIFY2(offAnchor(3) < 1.5, qPrintable(u"the next line %1 px off"_s.arg(offAnchor(3))));

        // A seek back lights an earlier line.
        player()->seek((*parsed.lines.at(1).time + *parsed.lines.at(2).time) / 2);
        waitForLitLine(1);
        QVERIFY2(offAnchor(1) < 1.5, qPrintable(u"after a seek back %1 px off"_s.arg(offAnchor(1))));
    }
};

QTEST_MAIN(TestPlayerEndToEnd)
#include "tst_playere2e.moc"
