// The rules behind the player views: time texts and seeking, the seek bar's
// arithmetic, which buttons show, the offline control, the sleep-timer
// choices, the share link and the fullscreen player's modes.
#include "playerrig.h"
#include "api/storeregistry.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "player/audiocacheservice.h"
#include "player/fullscreenplayermodel.h"
#include "player/playercontrolsmodel.h"
#include "player/playertimemodel.h"
#include "player/seekbarmodel.h"
#include "player/sleeptimermodel.h"
#include "api/tracksharelink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using Lyrics = PlayerControlsModel::LyricsControl;
using Offline = PlayerControlsModel::OfflineControl;

namespace {

// A column of the current data row, where QFETCH's declaration does not fit.
template<typename T> T column(const char *name)
{
    return *static_cast<T *>(QTest::qData(name, qMetaTypeId<T>()));
}
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
} // namespace

class TestPlayerModels : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }
    void init() { ApiConfig::setBaseUrl(QUrl(u"https://music.example.org/base/path"_s)); }

    void progressAndRange_data()
    {
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<double>("duration");
        QTest::addColumn<double>("progress");
        QTest::addColumn<double>("seekUpper");
        QTest::newRow("middle") << 50.0 << 200.0 << 0.25 << 200.0;
        QTest::newRow("unknown duration") << 50.0 << 0.0 << 0.0 << 1.0;
        QTest::newRow("past the end") << 250.0 << 200.0 << 1.0 << 200.0;
        QTest::newRow("negative elapsed") << -5.0 << 200.0 << 0.0 << 200.0;
        QTest::newRow("NaN elapsed") << notANumber << 200.0 << 0.0 << 200.0;
        QTest::newRow("infinite elapsed") << inf << 200.0 << 0.0 << 200.0;
        QTest::newRow("infinite duration") << 50.0 << inf << 0.0 << 1.0;
        QTest::newRow("negative duration") << 50.0 << -3.0 << 0.0 << 1.0;
        QTest::newRow("one second") << 0.5 << 1.0 << 0.5 << 1.0;
    }

    void progressAndRange()
    {
        QFETCH(double, elapsed);
        QFETCH(double, duration);
        QCOMPARE(PlayerTimeModel::progressFor(elapsed, duration), column<double>("progress"));
        QCOMPARE(PlayerTimeModel::seekUpperFor(duration), column<double>("seekUpper"));
    }

    // Texts change once a second however often the player ticks; a seek
    // never leaves the range.
    void timeTextsFollowTheTick()
    {
        PlayerRig rig;
        StoreRegistry::set(rig.store.get());
        PlayerTimeModel model;
        QCOMPARE(model.elapsedText(), u"0:00"_s);
        QCOMPARE(model.durationText(), u"0:00"_s);
        rig.play({u"a"_s}, 0);
        QCOMPARE(model.durationText(), u"3:20"_s);
        QSignalSpy texts(&model, &PlayerTimeModel::elapsedTextChanged);
        QSignalSpy progress(&model, &PlayerTimeModel::progressChanged);
        for (int step = 1; step <= 25; ++step)
            rig.player()->tick(59.0 + step / 10.0);
        QCOMPARE(texts.count(), 3);
        QCOMPARE(progress.count(), 25);
        QCOMPARE(model.elapsedText(), u"1:01"_s);
        rig.player()->tick(notANumber);
        QCOMPARE(model.elapsedText(), u"0:00"_s);

        model.seekTo(500);
        model.seekTo(-4);
        model.seekTo(notANumber);
        model.seekTo(42.5);
        QCOMPARE(rig.player()->seeks(), (QList<double> {200, 0, 0, 42.5}));
        QCOMPARE(rig.store->elapsed(), 42.5);
    }

    // A progress line 600 px long over a 200 s track moves 3 px a second:
    // the ten ticks of a second change its drawn length three times, not
    // ten, and a line of no length never changes.
    void progressLineMovesInWholePixels()
    {
        PlayerRig rig;
        StoreRegistry::set(rig.store.get());
        PlayerTimeModel model;
        rig.play({u"a"_s}, 0);
        QSignalSpy widths(&model, &PlayerTimeModel::progressWidthChanged);
        for (int step = 1; step <= 100; ++step)
            rig.player()->tick(step / 10.0);
        QCOMPARE(widths.count(), 0);
        QCOMPARE(model.progressWidth(), 0);

        model.setProgressSpan(600);
        QCOMPARE(model.progressWidth(), 30);
        widths.clear();
        for (int step = 1; step <= 100; ++step)
            rig.player()->tick(10.0 + step / 10.0);
        QCOMPARE(widths.count(), 30);
        QCOMPARE(model.progressWidth(), 60);

        // A seek far away is one change; a wider window redraws the line.
        rig.player()->tick(150.0);
        QCOMPARE(model.progressWidth(), 450);
        model.setProgressSpan(800);
        QCOMPARE(model.progressWidth(), 600);
        model.setProgressSpan(notANumber);
        QCOMPARE(model.progressWidth(), 0);
    }

    void seekBarFillMovesInWholePixels()
    {
        SeekBarModel bar;
        bar.setTo(200);
        bar.setSpan(400);
        QSignalSpy widths(&bar, &SeekBarModel::filledWidthChanged);
        for (int step = 1; step <= 50; ++step)
            bar.setValue(step / 10.0);
        // 2 px a second: ten changes over five seconds of ticks.
        QCOMPARE(widths.count(), 10);
        QCOMPARE(bar.filledWidth(), 10);
        bar.setValue(notANumber);
        QCOMPARE(bar.filledWidth(), 0);
        bar.setValue(500);
        QCOMPARE(bar.filledWidth(), 400);
        bar.setSpan(-1);
        QCOMPARE(bar.filledWidth(), 0);
    }

    void seekBar_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("written");
        QTest::newRow("middle") << 0.0 << 200.0 << 50.0 << 0.25 << 100.0 << 400.0 << 50.0;
        QTest::newRow("empty range is 1 wide") << 0.0 << 0.0 << 0.0 << 0.0 << 30.0 << 60.0 << 0.5;
        QTest::newRow("narrow range is 1 wide") << 10.0 << 10.5 << 10.5 << 0.5 << 60.0 << 60.0 << 11.0;
        QTest::newRow("value below") << 0.0 << 100.0 << -20.0 << 0.0 << -50.0 << 100.0 << 0.0;
        QTest::newRow("value above") << 0.0 << 100.0 << 300.0 << 1.0 << 500.0 << 100.0 << 100.0;
        QTest::newRow("zero width") << 0.0 << 100.0 << 50.0 << 0.5 << 0.5 << 0.0 << 50.0;
        QTest::newRow("NaN everywhere") << 0.0 << notANumber << notANumber << 0.0 << notANumber << notANumber << 0.0;
        QTest::newRow("infinite end is unknown") << 0.0 << inf << 0.0 << 0.0 << 10.0 << 10.0 << 1.0;
    }

    void seekBar()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(double, written);
        QCOMPARE(SeekBarModel::fractionFor(column<double>("value"), from, to), column<double>("fraction"));
        const double value = SeekBarModel::valueFor(column<double>("x"), column<double>("width"), from, to);
        QCOMPARE(value, written);
    }

    void lyricsControl_data()
    {
        QTest::addColumn<std::optional<QString>>("lyrics");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<Lyrics>("control");
        const std::optional<QString> none;
        QTest::newRow("none") << none << false << Lyrics::None;
        QTest::newRow("looking up") << none << true << Lyrics::Spinner;
        QTest::newRow("known") << std::optional(u"la"_s) << false << Lyrics::Button;
        QTest::newRow("known wins over loading") << std::optional(u"la"_s) << true << Lyrics::Button;
        QTest::newRow("blank") << std::optional(u" \n\t "_s) << false << Lyrics::None;
        QTest::newRow("blank while loading") << std::optional(u" \n "_s) << true << Lyrics::Spinner;
    }

    void lyricsControl()
    {
        QFETCH(std::optional<QString>, lyrics);
        QCOMPARE(PlayerControlsModel::lyricsControlFor(lyrics, column<bool>("loading")), column<Lyrics>("control"));
    }

    void offlineControl_data()
    {
        QTest::addColumn<bool>("hasTrack");
        QTest::addColumn<bool>("saving");
        QTest::addColumn<bool>("cached");
        QTest::addColumn<bool>("account");
        QTest::addColumn<Offline>("control");
        QTest::newRow("no track") << false << false << false << true << Offline::Hidden;
        QTest::newRow("signed in, not saved") << true << false << false << true << Offline::Save;
        QTest::newRow("guest, not saved") << true << false << false << false << Offline::Hidden;
        QTest::newRow("saving") << true << true << false << true << Offline::Saving;
        QTest::newRow("saving wins over saved") << true << true << true << true << Offline::Saving;
        QTest::newRow("saved") << true << false << true << true << Offline::Saved;
        QTest::newRow("guest can remove a saved copy") << true << false << true << false << Offline::Saved;
    }

    void offlineControl()
    {
        QCOMPARE(PlayerControlsModel::offlineControlFor(
                     column<bool>("hasTrack"), column<bool>("saving"), column<bool>("cached"), column<bool>("account")),
            column<Offline>("control"));
    }

    // The model over a real store: a guest and a listener, the buttons'
    // looks following the track, the offline action, repeat and share.
    void controlsFollowTheStore()
    {
        QTemporaryDir dir;
        AudioCacheService cache(dir.filePath(u"audio_cache"_s));
        PlayerRig rig(&cache);
        StoreRegistry::set(rig.store.get());
        PlayerControlsModel model;
        QVERIFY(!model.hasTrack());
        QCOMPARE(model.offlineControl(), Offline::Hidden);

        TrackOut track = makeTrack(u"a"_s);
        track.isFavorite = true;
        track.userRating = u"dislike"_s;
        rig.store->play(track, {track});
        QVERIFY(model.hasTrack());
        QVERIFY(model.favoriteOn());
        QVERIFY(model.dislikeOn());
        QCOMPARE(model.lyricsControl(), Lyrics::Button);
        QCOMPARE(model.offlineControl(), Offline::Hidden);
        QSignalSpy changed(&model, &PlayerControlsModel::changed);
        model.setHasAccount(true);
        QCOMPARE(model.offlineControl(), Offline::Save);
        rig.player()->tick(1.0);
        QCOMPARE(changed.count(), 1);

        track.isFavorite = false;
        track.userRating.reset();
        rig.store->updateCurrentTrack(track);
        QVERIFY(!model.favoriteOn());
        QVERIFY(!model.dislikeOn());

        rig.store->setSleepTimerEndOfTrack();
        QVERIFY(model.sleepTimerOn());
        rig.store->cancelSleepTimer();
        QVERIFY(!model.sleepTimerOn());

        QStringList symbols;
        for (int i = 0; i < 3; ++i) {
            model.cycleRepeat();
            symbols << model.repeatSymbol() + (model.repeatOn() ? u"+"_s : u"-"_s);
        }
        QCOMPARE(symbols, (QStringList {u"repeat+"_s, u"repeat.1+"_s, u"repeat-"_s}));

        QSignalSpy copied(&model, &PlayerControlsModel::linkCopied);
        model.copyShareLink();
        QCOMPARE(copied.value(0).value(0).toString(), u"Ссылка скопирована"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"https://music.example.org/api/v1/share/track/a"_s);
    }

    void shareLink_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("link");
        const QString root = u"https://music.example.org/api/v1/share/track/"_s;
        QTest::newRow("plain") << u"42"_s << root + u"42"_s;
        QTest::newRow("slash") << u"a/b"_s << root + u"a%2Fb"_s;
        QTest::newRow("dot-dot path") << u"../../admin"_s << root + u"..%2F..%2Fadmin"_s;
        QTest::newRow("question mark") << u"a?b=1"_s << root + u"a%3Fb=1"_s;
        QTest::newRow("hash") << u"a#b"_s << root + u"a%23b"_s;
        QTest::newRow("space") << u"a b"_s << root + u"a%20b"_s;
        QTest::newRow("percent") << u"100%"_s << root + u"100%25"_s;
        QTest::newRow("cyrillic") << u"трек"_s << root + u"%D1%82%D1%80%D0%B5%D0%BA"_s;
        QTest::newRow("dot") << u"."_s << u"https://music.example.org/base/path"_s;
        QTest::newRow("empty") << QString() << u"https://music.example.org/base/path"_s;
    }

    void shareLink()
    {
        QFETCH(QString, id);
        const QUrl url = TrackShareLink::forTrack(id);
        QCOMPARE(url.toString(QUrl::FullyEncoded), column<QString>("link"));
        // The id comes back whole as the last segment.
        if (url.path(QUrl::FullyEncoded).startsWith(u"/api/v1/share/track/"_s))
            QCOMPARE(QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).section(u'/', -1).toUtf8()), id);
    }

    void sleepTimerChoices()
    {
        PlayerRig rig;
        StoreRegistry::set(rig.store.get());
        SleepTimerModel model;
        QCOMPARE(model.presets(), (QVariantList {15, 30, 45, 60}));
        QCOMPARE(SleepTimerModel::presetLabel(45), u"45 минут"_s);
        QVERIFY(!model.showsActive());
        QCOMPARE(model.activeLabel(), QString());
        QSignalSpy close(&model, &SleepTimerModel::closeRequested);

        model.choose(30);
        QVERIFY(rig.store->sleepTimer().isRunning());
        QCOMPARE(rig.store->sleepTimer().endAt(), rig.clock.now().addSecs(30 * 60));
        QVERIFY(model.showsActive());
        QTRY_COMPARE(model.activeLabel(), u"30:00"_s);
        rig.clock.advance(std::chrono::seconds(28 * 60 - 5));
        QTRY_COMPARE(model.activeLabel(), u"2:05"_s);

        model.chooseEndOfTrack();
        QVERIFY(rig.store->sleepTimer().isEndOfTrack());
        QCOMPARE(model.activeLabel(), u"После трека"_s);
        model.cancel();
        QVERIFY(rig.store->sleepTimer().isOff());
        QVERIFY(!model.showsActive());
        QCOMPARE(close.count(), 3);
    }

    void fullscreenModes()
    {
        PlayerRig rig;
        rig.play({u"a"_s, u"b"_s}, 0);
        // Opened from the mini player's lyrics button: lyrics at once, the
        // request used up.
        rig.store->showFullscreenLyrics();
        StoreRegistry::set(rig.store.get());
        auto model = std::make_unique<FullscreenPlayerModel>(FullscreenPlayerModel::DetailSource {});
        QVERIFY(model->lyricsMode());
        QVERIFY(model->showsLyricsPanel());
        QVERIFY(!rig.store->fullscreenWantsLyrics());

        // Esc: lyrics, then cover, then closed.
        model->goBack();
        QVERIFY(!model->lyricsMode());
        QVERIFY(rig.store->isFullscreenPresented());
        model->goBack();
        QVERIFY(!rig.store->isFullscreenPresented());

        // A new track returns to the cover; lyrics of spaces still show.
        rig.store->setFullscreenPresented(true);
        model->showLyrics();
        rig.store->setCurrentLyrics(u"   "_s);
        QVERIFY(model->showsLyricsPanel());
        rig.store->setCurrentLyrics(std::nullopt);
        QVERIFY(model->lyricsMode());
        QVERIFY(!model->showsLyricsPanel());
        rig.store->next();
        QVERIFY(!model->lyricsMode());

        // Only new offline messages become the alert; the store's copy is taken.
        rig.store->setCacheMessage(u"old"_s);
        StoreRegistry::set(rig.store.get());
        model = std::make_unique<FullscreenPlayerModel>(FullscreenPlayerModel::DetailSource {});
        QCOMPARE(model->cacheAlert(), QString());
        rig.store->setCacheMessage(u"Трек сохранён для офлайна"_s);
        QCOMPARE(model->cacheAlert(), u"Трек сохранён для офлайна"_s);
        QCOMPARE(rig.store->cacheMessage(), std::nullopt);
        model->dismissCacheAlert();
        QCOMPARE(model->cacheAlert(), QString());
    }

    // Opening and every new track fetch the full record; a failure or an
    // answer for a track that is no longer current changes nothing.
    void detailsOfTheCurrentTrack()
    {
        PlayerRig rig;
        rig.play({u"a"_s, u"b"_s, u"c"_s}, 0);
        QStringList asked;
        StoreRegistry::set(rig.store.get());
        FullscreenPlayerModel model([&](QString id, CancelToken) -> QCoro::Task<TrackOut> {
            asked << id;
            if (id == u"b"_s)
                throw std::runtime_error("offline");
            TrackOut full = makeTrack(id, QString(), u"[00:01.00]full"_s);
            full.isFavorite = true;
            full.title = u"Changed title"_s;
            co_return full;
        });
        QTRY_VERIFY(rig.store->currentTrack()->isFavorite);
        // Only the details are taken; the record shown keeps its own title.
        QCOMPARE(rig.store->currentTrack()->title, u"Song a"_s);
        rig.store->next();
        rig.store->next();
        QTRY_VERIFY(rig.store->currentTrack()->isFavorite);
        QCOMPARE(rig.currentId(), u"c"_s);
        QCOMPARE(asked, (QStringList {u"a"_s, u"b"_s, u"c"_s}));
    }
};

QTEST_MAIN(TestPlayerModels)
#include "tst_playermodels.moc"
