// The player views in the program's own window over the local service and a
// silent audio backend: the mini player over a section, the fullscreen
// player on the cover (a Hi-Fi track) and on synced and plain lyrics, the
// sleep-timer popover, the offline copy, the guest's sign-in prompt and a
// refused dislike.
// Fails on any QML warning; writes a picture of each into the screenshot
// folder for review.
#include "account/authstore.h"
#include "api/jsoncoding.h"
#include "player/lyricspanelmodel.h"
#include "player/playerstore.h"

#include "apprig.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestPlayerScreens : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    QQuickWindow *window() const { return m_rig.window(); }
    QQuickItem *item(const QString &objectName) const { return m_rig.item(objectName); }
    bool shown(const QString &objectName) const { return isShown(item(objectName)); }
    PlayerStore *player() const { return m_rig.app()->player(); }

    void signIn(bool asGuest)
    {
        if (!asGuest)
            return m_rig.launchSignedIn();
        QVERIFY(m_rig.launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_rig.app()->auth()->continueAsGuest();
        QTRY_VERIFY(item(u"mainView"_s));
    }

    TrackOut serviceTrack(const QString &id)
    {
        return decodeJson<TrackOut>(m_rig.service()->get(u"/api/v1/tracks/"_s + id).body);
    }

    // Plays the first of ids within all of them, at `at` seconds.
    void play(const QStringList &ids, double at)
    {
        QList<TrackOut> list;
        for (const QString &id : ids)
            list << serviceTrack(id);
        player()->play(list.first(), list);
        QVERIFY(m_rig.audio().lastPlayer());
        m_rig.audio().lastPlayer()->setItemDuration(list.first().durationSeconds);
        m_rig.audio().lastPlayer()->play();
        m_rig.audio().lastPlayer()->tick(at);
        QTRY_VERIFY(shown(u"miniPlayer"_s) || player()->isFullscreenPresented());
    }

    // Waits for the animations and the cover image.
    void settle(const QString &cover = QString())
    {
        QVERIFY(waitUntilSettled(window()));
        if (!cover.isEmpty())
            QTRY_VERIFY(item(cover) && item(cover)->property("loaded").toBool());
    }

    void clickItem(const QString &objectName)
    {
        QVERIFY2(shown(objectName), qPrintable(objectName));
        QVERIFY(click(window(), item(objectName)));
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    // A Hi-Fi track with its own synced lyrics, from the mini player to the
    // fullscreen player's two modes and the sleep timer.
    void listenerWalk()
    {
        signIn(false);
        play({u"t00008"_s, u"t00009"_s, u"t00013"_s}, 62.4);
        QCOMPARE(item(u"miniTitle"_s)->property("text").toString(), player()->currentTrack()->title);
        settle(u"miniCover"_s);
        m_rig.screenshot(u"player-mini"_s);

        // Sharing copies the track's link and says so.
        clickItem(u"miniShare"_s);
        QTRY_VERIFY(shown(u"copiedToast"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), m_rig.service()->baseUrl().toString() + u"/api/v1/share/track/t00008"_s);

        clickItem(u"miniTitleBlock"_s);
        QTRY_VERIFY(shown(u"fullscreenPlayer"_s));
        settle(u"bigCover"_s);
        QVERIFY(shown(u"bigHiFi"_s));
        QVERIFY(!shown(u"backToCover"_s));
        QCOMPARE(item(u"elapsedLabel"_s)->property("text").toString(), u"1:02"_s);
        QCOMPARE(item(u"durationLabel"_s)->property("text").toString(), u"3:05"_s);
        m_rig.screenshot(u"player-fullscreen-hifi"_s);

        clickItem(u"lyricsButton"_s);
        QTRY_VERIFY(shown(u"lyricsPanel"_s));
        QVERIFY(!shown(u"actionRow"_s));
        QVERIFY(!shown(u"lyricsNote"_s));
        // Over the darkened cover every artist name is drawn light.
        int names = 0;
        for (QQuickItem *name : m_rig.shownItems(u"artistName0"_s)) {
            if (!item(u"fullscreenPlayer"_s)->isAncestorOf(name))
                continue;
            ++names;
            const QString style = name->property("style").toString();
            QVERIFY2(style == u"overlay"_s || style == u"fullscreen"_s, qPrintable(style));
        }
        QCOMPARE(names, 1);
        m_rig.audio().lastPlayer()->tick(92.0);
        settle();
        m_rig.screenshot(u"player-fullscreen-lyrics"_s);

        // Esc: back to the cover, then the sleep timer set and shown.
        QTest::keyClick(window(), Qt::Key_Escape);
        QTRY_VERIFY(shown(u"actionRow"_s));
        QVERIFY(player()->isFullscreenPresented());
        clickItem(u"sleepTimerButton"_s);
        QTRY_VERIFY(shown(u"sleepTimerEndOfTrack"_s));
        QVERIFY(!shown(u"sleepTimerActive"_s));
        player()->setSleepTimer(30);
        QTRY_COMPARE(item(u"sleepTimerLabel"_s)->property("text").toString(), u"30:00"_s);
        settle();
        m_rig.screenshot(u"player-sleep-timer"_s);
        clickItem(u"sleepTimerEndOfTrack"_s);
        QTRY_VERIFY(!shown(u"sleepTimerEndOfTrack"_s));
        QVERIFY(player()->sleepTimer().isEndOfTrack());

        // The offline copy: saved, then the alert says so.
        clickItem(u"offlineButton"_s);
        QTRY_VERIFY(shown(u"offlineAlert"_s) || item(u"alertMessage"_s));
        QTRY_COMPARE(item(u"alertMessage"_s)->property("text").toString(), u"Трек сохранён для офлайна"_s);
        QTRY_VERIFY(isShown(item(u"alertMessage"_s)));
        QTest::keyClick(window(), Qt::Key_Escape);
        QTRY_VERIFY(!isShown(item(u"alertMessage"_s)));
        QVERIFY(player()->isFullscreenPresented());

        // Plain lyrics come with their note.
        play({u"t00009"_s, u"t00008"_s}, 100.0);
        QVERIFY(!shown(u"backToCover"_s));
        clickItem(u"lyricsButton"_s);
        QTRY_VERIFY(shown(u"lyricsNote"_s));
        settle();
        m_rig.screenshot(u"player-lyrics-plain"_s);

        QTest::keyClick(window(), Qt::Key_Escape);
        QTest::keyClick(window(), Qt::Key_Escape);
        QTRY_VERIFY(!player()->isFullscreenPresented());
        QTRY_VERIFY(shown(u"miniPlayer"_s));
    }

    // Opening the lyrics shows the lit line where the column keeps it, its
    // 42 % point at 42 % of the panel's height, at once: not near the top
    // until the next line, which may be tens of seconds away.
    void litLineStandsAtTheAnchorOnOpening()
    {
        signIn(false);
        play({u"t00008"_s}, 120.0);
        clickItem(u"miniTitleBlock"_s);
        QTRY_VERIFY(shown(u"fullscreenPlayer"_s));
        settle();
        clickItem(u"lyricsButton"_s);
        QTRY_VERIFY(shown(u"lyricsPanel"_s));

        auto *lines = qobject_cast<QQuickItem *>(item(u"lyricsLines"_s));
        QVERIFY(lines);
        const auto litLine = [lines]() -> QQuickItem * {
            auto *content = lines->property("contentItem").value<QQuickItem *>();
            for (QQuickItem *row : content ? content->childItems() : QList<QQuickItem *> {}) {
                if (row->isVisible() && row->property("lit").toBool())
                    return row;
            }
            return nullptr;
        };
        QTRY_VERIFY(litLine());
        QVERIFY2(litLine()->property("index").toInt() >= 3, "a line well below the first is lit");
        const auto offAnchor = [&] {
            QQuickItem *row = litLine();
            const double top = row->mapToItem(lines, QPointF(0, 0)).y();
            return std::abs(top - LyricsPanelModel::rowTopInView(lines->height(), row->height()));
        };
        QTRY_VERIFY2(offAnchor() < 1.5, qPrintable(u"%1 px off the anchor"_s.arg(offAnchor())));

        // It glows: blurred by a shader on a GPU, a halo of copies without.
        const auto glow = [&] { return findItem(litLine(), u"lyricsGlow"_s); };
        if (window()->rendererInterface()->graphicsApi() == QSGRendererInterface::Software)
            QVERIFY(isShown(findItem(litLine(), u"lyricsHalo"_s)));
        else
            QTRY_VERIFY(glow() && glow()->property("color").value<QColor>().alphaF() > 0.4);
    }

    void guestIsAskedToSignIn()
    {
        signIn(true);
        play({u"t00010"_s, u"t00011"_s}, 20.0);
        clickItem(u"miniCover"_s);
        QTRY_VERIFY(shown(u"fullscreenPlayer"_s));
        settle();
        // No account: no offline control, and the heart asks to sign in.
        QVERIFY(!shown(u"offlineButton"_s));
        // Every page keeps its own alert; the one that asks is the shown one.
        const auto asked = [&] { return m_rig.shownItems(u"signInMessage"_s).size() == 1; };
        clickItem(u"favoriteButton"_s);
        QTRY_VERIFY(asked());
        QCOMPARE(m_rig.shownItems(u"signInMessage"_s).constFirst()->property("text").toString(),
                 u"Войдите, чтобы добавлять в избранное."_s);
        settle();
        m_rig.screenshot(u"player-guest-sign-in"_s);
    }

    // Signed in, a dislike the service refuses is told as a failure, under
    // "Ошибка" with the ratings' text, never as a request to sign in.
    void refusedDislikeIsAFailure()
    {
        signIn(false);
        play({u"t00010"_s, u"t00011"_s}, 20.0);
        clickItem(u"miniCover"_s);
        QTRY_VERIFY(shown(u"fullscreenPlayer"_s));
        settle();
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, u"/api/v1/rate"_s}, {u"status"_s, 503},
            {u"body"_s, QJsonObject {{u"detail"_s, u"Оценки временно не принимаются"_s}}}, {u"count"_s, 1}}));
        const auto told = [&] { return m_rig.shownItems(u"signInMessage"_s).size() == 1; };
        clickItem(u"dislikeButton"_s);
        QTRY_VERIFY(told());
        QCOMPARE(m_rig.shownItems(u"signInMessage"_s).constFirst()->property("text").toString(),
                 u"Оценки временно не принимаются"_s);
        QCOMPARE(m_rig.shownItems(u"signInTitle"_s).constFirst()->property("text").toString(), u"Ошибка"_s);
        QVERIFY(!player()->currentIsDisliked());
        settle();
        m_rig.screenshot(u"player-dislike-failed"_s);
    }
};

QTEST_MAIN(TestPlayerScreens)
#include "tst_playerscreens.moc"
