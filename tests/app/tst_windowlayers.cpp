// The layers of the main window in the program's own window: Esc answered
// by the topmost open layer alone (the clip player over the fullscreen
// player, each stepping back one state per press), the clip player's artist
// links opening the artist page in front, the windowed clip's controls
// clear of the mini player, help texts that go when a layer covers their
// control, the daily sheet over an artist page, and screens that end above
// the mini player. Pictures: build/screenshots/layers-*.png.
#include "api/jsoncoding.h"
#include "account/authstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "platform/focushelper.h"
#include "player/fullscreenplayermodel.h"
#include "player/playerstore.h"

#include "apprig.h"
#include "eventloop.h"
#include "fakevideoplayer.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <functional>

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
        QVERIFY(QTest::qWaitForWindowActive(m_rig.window(), nimbra::test::kEventLimitMs));
    }

    // A track with synced lyrics of its own, playing.
    void playTrack()
    {
        const TrackOut track = decodeJson<TrackOut>(m_rig.service()->get(u"/api/v1/tracks/t00008"_s).body);
        player()->play(track, {track});
        QTRY_VERIFY(shown(u"miniPlayer"_s));
    }

    // What the fullscreen player presents, whether or not a layer over it
    // hides it now: the clip player in fullscreen fades the window under it
    // out.
    bool fullscreenShowsLyrics() const
    {
        QQuickItem *screen = item(u"fullscreenPlayer"_s);
        const auto *model = screen ? screen->findChild<FullscreenPlayerModel *>() : nullptr;
        return model && model->showsLyricsPanel();
    }

    // Where the nearest clipping item around target ends: nothing of it
    // is drawn below that.
    qreal drawnBottom(QQuickItem *target) const
    {
        qreal bottom = m_rig.window()->height();
        for (QQuickItem *scope = target; scope; scope = scope->parentItem()) {
            if (scope->clip())
                bottom = std::min(bottom, scope->mapRectToScene(scope->boundingRect()).bottom());
        }
        return bottom;
    }

    void openDailySheet(QQuickItem *&list)
    {
        QQuickItem *card = nullptr;
        QTRY_VERIFY((card = item(u"dailyCard"_s)) && isShown(card));
        QTRY_VERIFY(!item(u"homeView"_s)->property("isLoading").toBool());
        QVERIFY(click(m_rig.window(), card));
        QTRY_VERIFY((list = item(u"smartPlaylistList"_s)) && isShown(list));
        QTRY_VERIFY(list->property("count").toInt() > 0);
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

    // Rests the pointer on the item, coming from outside it, until shown
    // holds. An item that a late layout moves from under the pointer loses
    // the hover, so the pointer follows it; while it stays, the pointer
    // rests.
    bool restOn(QQuickItem *target, const std::function<bool()> &shown)
    {
        QPoint at(-1, -1);
        return QTest::qWaitFor(
            [&] {
                const QPoint centre
                    = target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
                if (centre != at) {
                    QTest::mouseMove(m_rig.window(), QPoint(1, 1));
                    QTest::mouseMove(m_rig.window(), centre);
                    at = centre;
                }
                return shown();
            },
            30000);
    }

private slots:
    // The daily list draws four of the first hundred pages of fifty tracks:
    // with fewer than 5000 tracks some days draw only empty pages, and the
    // home page has no daily card that day.
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"5000"_s, u"--albums"_s, u"20"_s}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    // Both players open, the fullscreen one on the lyrics: each Esc takes
    // one step back on the topmost layer only, the clip first.
    void escStepsBackOnTheTopmostLayer()
    {
        launch();
        playTrack();
        if (QTest::currentTestFailed())
            return;
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
                fullscreenShowsLyrics() ? u"lyrics"_s : u"cover"_s);
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

    void escWithTheClickThatOpensALayer_data()
    {
        QTest::addColumn<bool>("clip");
        QTest::newRow("fullscreen player") << false;
        QTest::newRow("first clip of the run") << true;
    }

    // An Esc pressed in the same turn as the click that opens a layer, before
    // the layer has a frame or is made at all, waits for it and closes it.
    void escWithTheClickThatOpensALayer()
    {
        QFETCH(bool, clip);
        launch();
        playTrack();
        if (QTest::currentTestFailed())
            return;
        QQuickItem *opener = item(u"miniPlayer"_s);
        if (clip) {
            navigation()->navigateToSidebar(SidebarItem::Clips);
            QTRY_VERIFY((opener = item(u"clipCardButton"_s)) && isShown(opener));
        }
        // On a quiet machine the layer may be made before the Esc arrives.
        QSignalSpy opened(clip ? static_cast<QObject *>(clips()) : player(),
            clip ? SIGNAL(isPresentedChanged()) : SIGNAL(isFullscreenPresentedChanged()));
        QVERIFY(click(m_rig.window(), opener));
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QVERIFY(!opened.isEmpty());
        const auto open = [&] { return clip ? clips()->isPresented() : player()->isFullscreenPresented(); };
        QTRY_VERIFY(!open());
        QTRY_VERIFY(!shown(clip ? u"clipWindowed"_s : u"fullscreenPlayer"_s));
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
        QVERIFY(restOn(card, [&] { return cardTip->property("shown").toBool(); }));
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
        // The card's margin above the title lies in the window too.
        QVERIFY(item(u"clipCard"_s)->mapToScene(QPointF()).y() >= 0);

        // The header holds the fullscreen title block too, hidden.
        const QList<QQuickItem *> credits = m_rig.shownItems(u"clipArtist"_s);
        QCOMPARE(credits.size(), 1);
        QQuickItem *link = findItem(credits.first(), u"artistName0"_s);
        QVERIFY(isShown(link));
        const QString artist = link->property("text").toString();
        QVERIFY(!artist.isEmpty());
        QVERIFY(restOn(link, [&] { return isShown(findItem(link, u"artistUnderline"_s)); }));
        QVERIFY(saveScreenshot(m_rig.window()->grabWindow(), u"layers-clip-over-mini-player"_s));

        // The page comes in front: the clip player that would hide it closes.
        QVERIFY(click(m_rig.window(), link));
        QVERIFY(!clips()->isPresented());
        QCOMPARE(m_rig.app()->artistNavigation()->presentedArtistName(), artist);
        QTRY_VERIFY(shown(u"artistLayer"_s));
        QTRY_VERIFY(!shown(u"clipWindowed"_s));
        QVERIFY(shown(u"miniPlayer"_s));
    }

    // An artist page opened under the daily sheet leaves the sheet its keys
    // and its Esc; an artist link in the sheet closes the sheet and opens
    // the page in front. The sign-in screen after that session still opens
    // with the keys in the name field.
    void sheetOverAnArtistPage()
    {
        launch();
        QQuickItem *list = nullptr;
        openDailySheet(list);
        if (QTest::currentTestFailed())
            return;
        const auto sheetHasKeys = [&] { return FocusHelper::isInSheet(m_rig.window()->activeFocusItem()); };
        QTRY_VERIFY(sheetHasKeys());
        m_rig.app()->artistNavigation()->open(u"Мокко"_s);
        QTRY_VERIFY(shown(u"artistLayer"_s));
        QVERIFY(deliverPostedEvents());
        QVERIFY(sheetHasKeys());
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QTRY_VERIFY(!isShown(item(u"smartPlaylistList"_s)));
        QVERIFY(shown(u"artistLayer"_s));

        navigation()->navigateToSidebar(SidebarItem::Home);
        QTRY_VERIFY(!shown(u"artistLayer"_s));
        openDailySheet(list);
        if (QTest::currentTestFailed())
            return;
        QQuickItem *link = findItem(m_rig.rowItem(list, 0), u"artistName0"_s);
        QVERIFY(isShown(link));
        const QString artist = link->property("text").toString();
        QVERIFY(click(m_rig.window(), link));
        QTRY_VERIFY(!isShown(item(u"smartPlaylistList"_s)));
        QCOMPARE(m_rig.app()->artistNavigation()->presentedArtistName(), artist);
        QTRY_VERIFY(shown(u"artistLayer"_s));
        QVERIFY(waitUntilSettled(m_rig.window()));
        QVERIFY(saveScreenshot(m_rig.window()->grabWindow(), u"layers-sheet-link"_s));

        m_rig.app()->auth()->signOut();
        QQuickItem *name = nullptr;
        QTRY_VERIFY((name = item(u"usernameField"_s)) && isShown(name));
        QTRY_VERIFY(name->hasActiveFocus());
    }

    // Nothing of a screen or of the artist page is drawn under the
    // translucent mini player; the home page's end, scrolled to, lies
    // above it.
    void screensEndAboveTheMiniPlayer()
    {
        launch();
        playTrack();
        if (QTest::currentTestFailed())
            return;
        QQuickItem *mini = item(u"miniPlayerLayer"_s);
        QTRY_COMPARE(mini->property("progress").toDouble(), 1.0);
        const qreal miniTop = mini->mapRectToScene(mini->boundingRect()).top();

        QQuickItem *scroller = item(u"homeScroller"_s);
        QTRY_VERIFY(!item(u"homeView"_s)->property("isLoading").toBool());
        QVERIFY(waitUntilSettled(m_rig.window()));
        scroller->setProperty("contentY",
            std::max(0.0, scroller->property("contentHeight").toDouble() - scroller->height()));
        QQuickItem *strip = item(u"releaseStrip"_s);
        QVERIFY(isShown(strip));
        QVERIFY(strip->mapRectToScene(strip->boundingRect()).bottom() <= miniTop);
        QVERIFY2(drawnBottom(scroller->property("contentItem").value<QQuickItem *>()) <= miniTop,
            qPrintable(u"home drawn down to %1, the bar starts at %2"_s.arg(drawnBottom(scroller)).arg(miniTop)));
        QVERIFY(waitUntilSettled(m_rig.window()));
        QVERIFY(saveScreenshot(m_rig.window()->grabWindow(), u"layers-home-end-over-mini-player"_s));

        m_rig.app()->artistNavigation()->open(u"Мокко"_s);
        QQuickItem *stack = nullptr;
        QTRY_VERIFY((stack = item(u"artistStack"_s)) && isShown(stack));
        QVERIFY(drawnBottom(stack) <= miniTop);
    }
};

QTEST_MAIN(TestWindowLayers)
#include "tst_windowlayers.moc"
