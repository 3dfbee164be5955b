// The home page's model: the order in which it takes its three results, what
// each failure leaves behind, the wave, the releases and the texts it
// derives. The service's compositions are stand-ins the test answers by hand.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "player/playerstore.h"
#include "catalogue/albumdirectory.h"
#include "catalogue/homepagemodel.h"
#include "library/smartplaylistmodel.h"

#include "fakehttpserver.h"
#include "pendingcalls.h"
#include "playerrig.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// A composition of the service as the page calls it, with the tokens sent.
template<typename T> struct StandIn : PendingCalls<T>
{
    using PendingCalls<T>::PendingCalls;
    QList<std::optional<QString>> tokens;

    std::function<QCoro::Task<T>(HomePageModel::Token, CancelToken)> source()
    {
        return [this](HomePageModel::Token token, CancelToken cancel) {
            tokens << token;
            return this->call(std::move(cancel));
        };
    }
};

LibraryStats someStats(qint64 favorites)
{
    return {favorites, 3, 40, 5, 2};
}

HomeReleaseItem release(const QString &id, bool album)
{
    if (album) {
        AlbumOut a;
        a.id = id;
        a.title = u"Album "_s + id;
        a.artist = u"A"_s;
        return {u"album-"_s + id, a.title, a.artist, std::nullopt, u"Альбом · 1 мая"_s, a};
    }
    const TrackOut t = makeTrack(id);
    return {u"track-"_s + id, t.title, t.artist, std::nullopt, u"Сингл · 1 мая"_s, t};
}

QStringList releaseIds(const HomeReleaseModel *model)
{
    QStringList ids;
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row).data(HomeReleaseModel::ReleaseIdRole).toString();
    return ids;
}

} // namespace

class TestHomePageModel : public QObject
{
    Q_OBJECT

    // The page's four requests, the player it plays through and the token.
    struct Rig
    {
        StandIn<LibraryStats> stats {someStats(7)};
        StandIn<QList<HomeReleaseItem>> releases {{release(u"r1"_s, false), release(u"r2"_s, true)}};
        StandIn<QList<TrackOut>> daily {makeTracks({u"d1"_s, u"d2"_s, u"d3"_s})};
        StandIn<QList<TrackOut>> wave {makeTracks({u"w1"_s, u"w2"_s})};
        PlayerRig player;

        Rig() { player.session.setToken(u"tok"_s); }
        std::unique_ptr<HomePageModel> make()
        {
            HomePageModel::Stores stores {
                player.store.get(), &player.session, [] { return QDate(2026, 12, 6); }};
            return std::make_unique<HomePageModel>(
                HomePageModel::Sources {stats.source(), releases.source(), daily.source(), wave.source()},
                stores);
        }
        void answerAll()
        {
            stats.answer();
            releases.answer();
            daily.answer();
        }
    };

private slots:
    void initTestCase() { initTestEnvironment(); }

    void resultsAreTakenInOrderAndShownAsTaken()
    {
        Rig rig;
        rig.player.session.setToken(std::nullopt);
        auto page = rig.make();
        QVERIFY(page->isLoading());
        page->load();
        // A guest's requests go without a token.
        QCOMPARE(rig.stats.tokens, QList<std::optional<QString>> {std::nullopt});
        QCOMPARE(rig.daily.tokens, QList<std::optional<QString>> {std::nullopt});

        // The daily list comes first but waits for the two before it.
        rig.daily.answer();
        QVERIFY(!page->hasDaily());
        rig.stats.answer();
        QCOMPARE(page->favoritesSubtitle(), u"7 треков"_s);
        QVERIFY(page->isLoading());
        QCOMPARE(page->releases()->count(), 0);

        rig.releases.answer();
        QCOMPARE(releaseIds(page->releases()), (QStringList {u"track-r1"_s, u"album-r2"_s}));
        QCOMPARE(trackIds(page->dailyTracks()), (QStringList {u"d1"_s, u"d2"_s, u"d3"_s}));
        QCOMPARE(page->dailyCountText(), u"3 трека · обновляется в 00:00"_s);
        QCOMPARE(page->dailyDateText(), u"6 декабря"_s);
        QVERIFY(!page->isLoading());
        QVERIFY(page->errorText().isEmpty());
    }

    void failuresLeaveWhatWasThere_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("favorites");
        QTest::addColumn<QStringList>("releases");
        QTest::addColumn<int>("dailyCount");
        QTest::addColumn<bool>("error");

        // The first load shows 7 favourites, r1 and r2 and three daily
        // tracks; the second would show 21 favourites, r9 and two tracks.
        const QStringList before {u"track-r1"_s, u"album-r2"_s};
        QTest::newRow("counts") << u"stats"_s << u"7 треков"_s << before << 3 << true;
        QTest::newRow("releases") << u"releases"_s << u"21 трек"_s << before << 3 << true;
        QTest::newRow("daily alone") << u"daily"_s << u"21 трек"_s << QStringList {u"track-r9"_s} << 0 << false;
    }

    void failuresLeaveWhatWasThere()
    {
        QFETCH(QString, failing);
        QFETCH(QString, favorites);
        QFETCH(QStringList, releases);
        QFETCH(int, dailyCount);
        QFETCH(bool, error);

        Rig rig;
        auto page = rig.make();
        page->load();
        rig.answerAll();
        QCOMPARE(page->dailyTracks().size(), 3);

        rig.stats.value = someStats(21);
        rig.releases.value = {release(u"r9"_s, false)};
        rig.daily.value = makeTracks({u"x1"_s, u"x2"_s});
        page->load();
        // Whatever fails, the daily list has already arrived.
        rig.daily.last()->settle(failing == u"daily");
        rig.stats.last()->settle(failing == u"stats");
        if (failing != u"stats")
            rig.releases.last()->settle(failing == u"releases");

        QCOMPARE(page->favoritesSubtitle(), favorites);
        QCOMPARE(releaseIds(page->releases()), releases);
        QCOMPARE(page->dailyTracks().size(), dailyCount);
        QCOMPARE(page->errorText().isEmpty(), !error);
        if (error)
            QCOMPARE(page->errorText(), pendingFailureText());
        QVERIFY(!page->isLoading());
        // Failed counts cancel the releases, which were never taken.
        QCOMPARE(rig.releases.last()->cancelled, failing == u"stats");

        // Loading again clears the text at once.
        page->load();
        QVERIFY(page->errorText().isEmpty());
        QVERIFY(page->isLoading());
    }

    void aNewerLoadOrAGonePageDropsTheOlderResults()
    {
        Rig rig;
        auto page = rig.make();
        page->load();
        PendingRequest *older = rig.stats.last();
        page->load();
        QVERIFY(older->cancelled);
        QCOMPARE(rig.stats.requests.size(), 2);
        rig.answerAll();
        QCOMPARE(page->favoritesSubtitle(), u"7 треков"_s);
        QVERIFY(!page->isLoading());

        page->load();
        PendingRequest *running = rig.releases.last();
        page.reset();
        QVERIFY(running->cancelled);

        // So does the end of the session the load was asked in.
        page = rig.make();
        page->load();
        running = rig.daily.last();
        rig.player.session.setToken(u"other"_s);
        QVERIFY(running->cancelled);
        QCOMPARE(page->errorText(), QString());
    }

    // A reload overtakes a load whose daily list is past the point where
    // aborting stops it: when that older list comes at last, the newer one
    // stays.
    void aLateDailyListOfAnOvertakenLoadIsDropped()
    {
        Rig rig;
        const auto late = std::make_shared<PendingRequest>();
        int dailyCalls = 0;
        const auto daily = [&](HomePageModel::Token, CancelToken cancel) {
            return dailyCalls++ == 0 ? pendingAnswer(late, CancelToken(), makeTracks({u"old"_s}))
                                     : rig.daily.call(std::move(cancel));
        };
        HomePageModel::Stores stores {
            rig.player.store.get(), &rig.player.session, [] { return QDate(2026, 12, 6); }};
        HomePageModel page(
            HomePageModel::Sources {rig.stats.source(), rig.releases.source(), daily, rig.wave.source()}, stores);

        page.load();
        rig.stats.answer();
        rig.releases.answer();
        QVERIFY(page.isLoading());
        page.load();
        rig.answerAll();
        QVERIFY(!page.isLoading());
        QCOMPARE(trackIds(page.dailyTracks()), (QStringList {u"d1"_s, u"d2"_s, u"d3"_s}));

        QSignalSpy dailyChanged(&page, &HomePageModel::dailyChanged);
        late->settle(false);
        QCOMPARE(trackIds(page.dailyTracks()), (QStringList {u"d1"_s, u"d2"_s, u"d3"_s}));
        QCOMPARE(dailyChanged.size(), 0);
        QVERIFY(!page.isLoading());
    }

    void wave_data()
    {
        QTest::addColumn<QStringList>("queue");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("playing");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("signsOut");

        QTest::newRow("plays the first of the queue")
            << QStringList {u"w1"_s, u"w2"_s} << false << u"w1"_s << QString() << false;
        QTest::newRow("empty: nothing") << QStringList {} << false << QString() << QString() << false;
        QTest::newRow("failure: its text") << QStringList {u"w1"_s} << true << QString() << pendingFailureText() << false;
        // The listener left while it loaded: its request goes, and what
        // comes nevertheless neither plays nor shows a failure.
        QTest::newRow("session ended: nothing") << QStringList {u"w1"_s} << false << QString() << QString() << true;
    }

    void wave()
    {
        QFETCH(QStringList, queue);
        QFETCH(bool, fails);
        QFETCH(QString, playing);
        QFETCH(QString, error);
        QFETCH(bool, signsOut);

        Rig rig;
        rig.wave.value = makeTracks(queue);
        auto page = rig.make();
        page->startMyWave();
        QVERIFY(page->isWaveLoading());
        // The button is disabled meanwhile; a second call asks for nothing.
        page->startMyWave();
        QCOMPARE(rig.wave.requests.size(), 1);
        QCOMPARE(rig.wave.tokens.value(0), std::optional<QString>(u"tok"_s));

        if (signsOut)
            rig.player.session.setToken(std::nullopt);
        QCOMPARE(rig.wave.last()->cancelled, signsOut);
        rig.wave.last()->settle(fails);
        QVERIFY(!page->isWaveLoading());
        QCOMPARE(rig.player.currentId(), playing);
        if (!playing.isEmpty())
            QCOMPARE(trackIds(rig.player.store->queue()), queue);
        QCOMPARE(page->errorText(), error);
    }

    // The error line says what failed last, and "Повторить" runs that again;
    // a wave that then plays takes its own error line away.
    void errorLineFollowsWhatFailed()
    {
        Rig rig;
        auto page = rig.make();
        QSignalSpy texts(&*page, &HomePageModel::errorTextChanged);
        page->startMyWave();
        rig.wave.fail();
        QCOMPARE(page->errorText(), pendingFailureText());

        page->retry();
        QCOMPARE(rig.wave.requests.size(), 2);
        QCOMPARE(rig.stats.requests.size(), 0);
        rig.wave.answer();
        QCOMPARE(rig.player.currentId(), u"w1"_s);
        QCOMPARE(page->errorText(), QString());

        // A failed load is retried as a load, and a wave that plays
        // meanwhile leaves the load's error standing.
        page->load();
        rig.stats.fail();
        QCOMPARE(page->errorText(), pendingFailureText());
        page->startMyWave();
        rig.wave.answer();
        QCOMPARE(page->errorText(), pendingFailureText());
        page->retry();
        QCOMPARE(rig.stats.requests.size(), 2);
        QCOMPARE(rig.wave.requests.size(), 3);
        QCOMPARE(page->errorText(), QString());
        // Fail, clear, fail, clear: the text stood unchanged in between.
        QCOMPARE(texts.count(), 4);
        rig.answerAll();
        QVERIFY(!page->isLoading());
    }

    // Each time the page comes on screen it loads, once per showing, also
    // when the stack flips it hidden and shown in one go while placing it.
    void loadsOnEveryShowing()
    {
        Rig rig;
        auto page = rig.make();
        page->setShown(true);
        page->setShown(false);
        page->setShown(true);
        QCOMPARE(rig.stats.requests.size(), 0);
        QTRY_COMPARE(rig.stats.requests.size(), 1);
        rig.answerAll();
        QCoreApplication::processEvents();
        QCOMPARE(rig.stats.requests.size(), 1);

        // Covered by an album's page, then shown again.
        page->setShown(false);
        QCoreApplication::processEvents();
        QCOMPARE(rig.stats.requests.size(), 1);
        page->setShown(true);
        QTRY_COMPARE(rig.stats.requests.size(), 2);
        QCOMPARE(rig.releases.requests.size(), 2);
        QCOMPARE(rig.daily.requests.size(), 2);
        // Gone before its load was due: nothing is asked.
        page->setShown(false);
        page->setShown(true);
        page.reset();
        QCoreApplication::processEvents();
        QCOMPARE(rig.stats.requests.size(), 2);
    }

    // The daily sheet lists what the card counts, in the same order, with
    // no request of its own and no loading state, each time it opens: the
    // one sheet opened again after the page loaded anew shows the new list.
    void dailySheetShowsTheHeldList()
    {
        FakeHttpServer service;
        ApiConfig::setBaseUrl(service.baseUrl());
        Rig rig;
        auto page = rig.make();
        SmartPlaylistModel sheet(TrackStores {rig.player.store.get(), nullptr, nullptr, &rig.player.session},
            {}, NimbraApi());
        for (const QStringList &daily : {QStringList {u"d3"_s, u"d1"_s, u"d2"_s}, QStringList {u"d4"_s, u"d3"_s}}) {
            rig.daily.value = makeTracks(daily);
            page->load();
            rig.answerAll();
            QVERIFY(page->hasDaily());

            QSignalSpy states(&sheet, &SmartPlaylistModel::loadStateChanged);
            page->showDailyIn(&sheet);
            QCOMPARE(sheet.kind(), u"daily"_s);
            QCOMPARE(trackIds(sheet.tracks()), daily);
            QCOMPARE(sheet.loadState().state, LoadState::Loaded);
            QVERIFY(!sheet.isLoading());
            QVERIFY(states.size() <= 1);
            sheet.reload();
            QCOMPARE(trackIds(sheet.tracks()), daily);
        }
        QCoreApplication::processEvents();
        QCOMPARE(service.requestCount(), 0);
        QCOMPARE(rig.daily.requests.size(), 2);
    }

    void theWaveOutlivesThePage()
    {
        Rig rig;
        auto page = rig.make();
        page->startMyWave();
        page.reset();
        rig.wave.answer();
        QCOMPARE(rig.player.currentId(), u"w1"_s);
    }

    void releasesPlayAmongTheTrackReleasesOrOpenTheAlbum()
    {
        AlbumDirectory::clear();
        Rig rig;
        rig.releases.value = {release(u"a1"_s, true), release(u"t1"_s, false), release(u"a2"_s, true),
            release(u"t2"_s, false)};
        auto page = rig.make();
        page->load();
        rig.answerAll();
        QSignalSpy opened(page.get(), &HomePageModel::albumRequested);

        page->playRelease(3);
        QCOMPARE(rig.player.currentId(), u"t2"_s);
        QCOMPARE(trackIds(rig.player.store->queue()), (QStringList {u"t1"_s, u"t2"_s}));

        page->playRelease(2);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), u"a2"_s);
        QCOMPARE(AlbumDirectory::find(u"a2"_s)->title, u"Album a2"_s);
        QCOMPARE(rig.player.currentId(), u"t2"_s);

        page->playRelease(9);
        page->playRelease(-1);
        QCOMPARE(opened.size(), 1);
    }

    void favouritesSubtitleAsksOnlyAGuestToSignIn()
    {
        Rig rig;
        rig.stats.value = someStats(0);
        auto listener = rig.make();
        QSignalSpy changed(listener.get(), &HomePageModel::statsChanged);
        listener->load();
        rig.answerAll();
        QVERIFY(!changed.isEmpty());
        QCOMPARE(listener->favoritesSubtitle(), u"0 треков"_s);

        rig.player.session.setToken(std::nullopt);
        auto guest = rig.make();
        guest->load();
        rig.answerAll();
        QCOMPARE(guest->favoritesSubtitle(), u"Войдите, чтобы сохранять"_s);
        // A guest's count, were there one, is still read as a count.
        QCOMPARE(HomePageModel::favoritesSubtitle(1, false), u"1 трек"_s);
    }

    void cardSubtitles_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<qint64>("n");
        QTest::addColumn<QString>("expected");

        for (const qint64 n : {1, 21, 101})
            QTest::addRow("favourites %lld", n) << u"favorites"_s << n << u"%1 трек"_s.arg(n);
        for (const qint64 n : {2, 22, 104})
            QTest::addRow("favourites %lld", n) << u"favorites"_s << n << u"%1 трека"_s.arg(n);
        for (const qint64 n : {5, 11, 12, 13, 14, 25, 111, 112})
            QTest::addRow("favourites %lld", n) << u"favorites"_s << n << u"%1 треков"_s.arg(n);
        QTest::newRow("no favourites") << u"favorites"_s << qint64(0) << u"0 треков"_s;
        QTest::newRow("negative favourites") << u"favorites"_s << qint64(-2) << u"0 треков"_s;
        QTest::newRow("collection 0") << u"collection"_s << qint64(0) << u"0 альбомов · 0 треков"_s;
        QTest::newRow("collection 1") << u"collection"_s << qint64(1) << u"1 альбом · 1 трек"_s;
        QTest::newRow("collection 3") << u"collection"_s << qint64(3) << u"3 альбома · 3 трека"_s;
        QTest::newRow("collection 14") << u"collection"_s << qint64(14) << u"14 альбомов · 14 треков"_s;
        // Clips and battles take the three forms too, 11 to 14 included.
        QTest::newRow("clips 1") << u"clips"_s << qint64(1) << u"1 клип"_s;
        QTest::newRow("clips 2") << u"clips"_s << qint64(2) << u"2 клипа"_s;
        QTest::newRow("clips 11") << u"clips"_s << qint64(11) << u"11 клипов"_s;
        QTest::newRow("clips 21") << u"clips"_s << qint64(21) << u"21 клип"_s;
        QTest::newRow("battles 11") << u"battles"_s << qint64(11) << u"11 баттлов"_s;
        QTest::newRow("battles 3") << u"battles"_s << qint64(3) << u"3 баттла"_s;
        QTest::newRow("battles 24") << u"battles"_s << qint64(24) << u"24 баттла"_s;
    }

    void cardSubtitles()
    {
        QFETCH(QString, card);
        QFETCH(qint64, n);
        QFETCH(QString, expected);
        const QString text = card == u"favorites" ? HomePageModel::favoritesSubtitle(n, true)
            : card == u"collection"               ? HomePageModel::collectionSubtitle(n, n)
            : card == u"clips"                    ? HomePageModel::clipsSubtitle(n)
                                                  : HomePageModel::battlesSubtitle(n);
        QCOMPARE(text, expected);
    }

    void dailyCovers_data()
    {
        QTest::addColumn<QList<std::optional<QString>>>("covers");
        QTest::addColumn<QStringList>("expected");

        const QString base = u"https://api.nimbra.app"_s;
        using Covers = QList<std::optional<QString>>;
        QTest::newRow("two tracks") << Covers {u"c/1.png"_s, u"/c/2.png"_s}
                                    << QStringList {base + u"/c/1.png"_s, base + u"/c/2.png"_s};
        QTest::newRow("the second without a cover")
            << Covers {u"c/1.png"_s, std::nullopt, u"c/3.png"_s, u"c/4.png"_s}
            << QStringList {base + u"/c/1.png"_s, base + u"/c/3.png"_s, base + u"/c/4.png"_s};
        QTest::newRow("only the first four count")
            << Covers {std::nullopt, std::nullopt, std::nullopt, std::nullopt, u"c/5.png"_s} << QStringList {};
        QTest::newRow("absolute kept") << Covers {u"https://cdn.example/x.png"_s}
                                       << QStringList {u"https://cdn.example/x.png"_s};
    }

    void dailyCovers()
    {
        QFETCH(QList<std::optional<QString>>, covers);
        QFETCH(QStringList, expected);
        clearSettings();
        QList<TrackOut> tracks;
        for (const auto &cover : covers) {
            TrackOut track = makeTrack(u"t%1"_s.arg(tracks.size()));
            track.coverUrl = cover;
            tracks << track;
        }
        QCOMPARE(HomePageModel::coverUrls(tracks), expected);
    }
};

QTEST_GUILESS_MAIN(TestHomePageModel)
#include "tst_homepagemodel.moc"
