// The layers of the main window in the program's own window: Esc answered
// by the topmost open layer alone (the clip player over the fullscreen
// player, each stepping back one state per press), the clip player's artist
// links opening the artist page in front, the windowed clip's controls
// clear of the mini player, and help texts that go when a layer covers
// their control. Pictures: build/screenshots/layers-*.png.
#include "api/jsoncoding.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"

#include "apprig.h"
#include "fakevideoplayer.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestWindowLayers : public QObject
{
    Q_OBJECT

    AppRig m_rig;
    FakeVideoBackend m_video;

    QQuickItem *item(const QString &objectName) const { return m_rig.item(objectName); }
    bool shown(const QString &objectName) const { return isShown(item(objectName)); }
    PlayerStore *player() const { return m_rig.app()->player(); }
    ClipPlayerStore *clips() const { return m_rig.app()->clipPlayer(); }

    MainNavigationModel *navigation() const
    {
        QQuickItem *main = item(u"mainView"_s);
        return main ? main->findChild<MainNavigationModel *>(u"mainNavigation"_s) : nullptr;
    }

    void launch()
    {
        AppContext::Environment environment;
        environment.video = &m_video;
        QVERIFY(m_rig.launch(environment));
        m_rig.signInAsDemo();
        m_rig.window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(m_rig.window()));
    }

    // A track with synced lyrics of its own, playing.
    void playTrack()
    {
        const TrackOut track = decodeJson<TrackOut>(m_rig.service()->get(u"/api/v1/tracks/t00008"_s).body);
        player()->play(track, {track});
        QTRY_VERIFY(shown(u"miniPlayer"_s));
    }

    // The control's own gate, not one of the controls inside it.
    static QObject *toolTipGate(QQuickItem *control)
    {
        for (QObject *child : control->findChildren<QObject *>(Qt::FindDirectChildrenOnly)) {
            if (QByteArray(child->metaObject()->className()).startsWith("ToolTipGate"))
                return child;
        }
        return nullptr;
    }

    // Rests the pointer on the item, coming from outside it.
    void hover(QQuickItem *target)
    {
        QTest::mouseMove(m_rig.window(), QPoint(1, 1));
        QTest::mouseMove(m_rig.window(), target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint());
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    // Both players open, the fullscreen one on the lyrics: each Esc takes
    // one step back on the topmost layer only, the clip first.
    void escStepsBackOnTheTopmostLayer()
    {
        launch();
        playTrack();
        player()->showFullscreenLyrics();
        QTRY_VERIFY(shown(u"lyricsPanel"_s));
        ClipOut clip;
        clip.id = u"c0001"_s;
        clip.title = u"Клип 1"_s;
        clip.artist = u"Мокко & Сахар"_s;
        clip.fileUrl = u"/media/clips/c0001.avi"_s;
        clips()->play(clip, {clip});
        clips()->setFullscreen(true);
        QTRY_VERIFY(shown(u"clipFullscreen"_s));

        const auto state = [&] {
            return u"%1 %2 %3"_s.arg(!clips()->isPresented() ? u"no-clip"_s
                    : clips()->isFullscreen()                ? u"clip-fullscreen"_s
                                                             : u"clip-windowed"_s,
                !player()->isFullscreenPresented() ? u"no-player"_s : u"player"_s,
                shown(u"lyricsPanel"_s) ? u"lyrics"_s : u"cover"_s);
        };
        QCOMPARE(state(), u"clip-fullscreen player lyrics"_s);
        const QStringList steps {u"clip-windowed player lyrics"_s, u"no-clip player lyrics"_s,
            u"no-clip player cover"_s, u"no-clip no-player cover"_s};
        for (const QString &expected : steps) {
            QTest::keyClick(m_rig.window(), Qt::Key_Escape);
            QTRY_COMPARE(state(), expected);
        }
        // With no layer open, Esc belongs to nobody and changes nothing.
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QVERIFY(!clips()->isPresented() && !player()->isFullscreenPresented() && player()->hasCurrentTrack());
        QTRY_VERIFY(shown(u"miniPlayer"_s));
    }

    // A card of the clips section, the overlay it opens over the mini
    // player, and an artist of the overlay's credits opening its page.
    void clipOverlayOverTheMiniPlayer()
    {
        launch();
        navigation()->navigateToSidebar(SidebarItem::Clips);
        QTRY_VERIFY(item(u"clipCardButton"_s) && isShown(item(u"clipCardButton"_s)));
        QQuickItem *card = item(u"clipCardButton"_s);
        QVERIFY(waitUntilStill(card));
        QObject *cardTip = toolTipGate(card);
        QVERIFY(cardTip);

        // A page laid over the section takes the hover, and the help text.
        hover(card);
        QTRY_VERIFY(cardTip->property("shown").toBool());
        m_rig.app()->artistNavigation()->open(u"Мокко"_s);
        QTRY_VERIFY(shown(u"artistLayer"_s));
        QTRY_VERIFY(!cardTip->property("shown").toBool());
        navigation()->navigateToSidebar(SidebarItem::Clips);
        QTRY_VERIFY(!shown(u"artistLayer"_s));

        playTrack();
        card = item(u"clipCardButton"_s);
        QVERIFY(click(m_rig.window(), card));
        QTRY_VERIFY(shown(u"clipWindowed"_s));
        QVERIFY(waitUntilSettled(m_rig.window()));

        // The controls, all of them, lie in the window above the mini player.
        QQuickItem *controls = item(u"clipControls"_s);
        QQuickItem *mini = item(u"miniPlayerLayer"_s);
        QVERIFY(isShown(mini));
        QTRY_COMPARE(mini->property("progress").toDouble(), 1.0);
        const QRectF controlsArea = controls->mapRectToScene(controls->boundingRect());
        QVERIFY2(controlsArea.bottom() <= mini->mapRectToScene(mini->boundingRect()).top(),
            qPrintable(u"controls end at %1"_s.arg(controlsArea.bottom())));
        QVERIFY(controlsArea.top() >= 0);

        // The header holds the fullscreen title block too, hidden.
        const QList<QQuickItem *> credits = m_rig.shownItems(u"clipArtist"_s);
        QCOMPARE(credits.size(), 1);
        QQuickItem *link = findItem(credits.first(), u"artistName0"_s);
        QVERIFY(isShown(link));
        const QString artist = link->property("text").toString();
        QVERIFY(!artist.isEmpty());
        hover(link);
        QTRY_VERIFY(isShown(findItem(link, u"artistUnderline"_s)));
        QVERIFY(saveScreenshot(m_rig.window()->grabWindow(), u"layers-clip-over-mini-player"_s));

        // The page comes in front: the clip player that would hide it closes.
        QVERIFY(click(m_rig.window(), link));
        QVERIFY(!clips()->isPresented());
        QCOMPARE(m_rig.app()->artistNavigation()->presentedArtistName(), artist);
        QTRY_VERIFY(shown(u"artistLayer"_s));
        QTRY_VERIFY(!shown(u"clipWindowed"_s));
        QVERIFY(shown(u"miniPlayer"_s));
    }
};

QTEST_MAIN(TestWindowLayers)
#include "tst_windowlayers.moc"
