#include "eventloop.h"
#include "fakehttpserver.h"
#include "playerrig.h"
#include "testenv.h"

#include "api/network.h"
#include "player/lyricsservice.h"

#include <QNetworkAccessManager>
#include <QSettings>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

FakeResponse syncedAnswer(const QString &text)
{
    const QJsonObject o {{u"instrumental"_s, false}, {u"duration"_s, 200}, {u"syncedLyrics"_s, text}};
    return FakeResponse {200, QJsonDocument(o).toJson(QJsonDocument::Compact)};
}

QString trackName(const RecordedRequest &r)
{
    for (const auto &[key, value] : r.queryItems) {
        if (key == "track_name"_L1)
            return value;
    }
    return QString();
}

FakeResponse answerWithTitle(const RecordedRequest &r)
{
    return syncedAnswer(u"[00:01.00]"_s + trackName(r));
}

TrackOut withoutLyrics(const QString &id)
{
    return makeTrack(id, QString(), std::nullopt);
}

} // namespace

// The lyrics state of the player store: the track's own lyrics first, else
// a lookup whose answer counts only while its track is still the one asked for.
class TestPlayerLyrics : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_host;
    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }

    void play(const TrackOut &track) { store().play(track, {}); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_host = std::make_unique<FakeHttpServer>();
        QSettings().setValue(QLatin1StringView(LyricsService::settingsKey), m_host->baseUrl().toString());
    }

    void init()
    {
        m_host->clearRequests();
        m_host->on(u"GET"_s, u"/api/get"_s, answerWithTitle);
        m_host->on(u"GET"_s, u"/api/search"_s, answerWithTitle);
        m_rig = std::make_unique<PlayerRig>();
    }

    void cleanup() { m_rig.reset(); }

    void cleanupTestCase() { m_host.reset(); }

    void ownLyricsWinBlankOnesAreLookedUp()
    {
        play(makeTrack(u"a"_s, QString(), u"\n  own words \t\n"_s));
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"own words"_s));
        QVERIFY(!store().lyricsLoading());
        QCOMPARE(m_host->requestCount(), 0);

        // Blank own lyrics are looked up.
        QSignalSpy loading(m_rig->store.get(), &PlayerStore::lyricsLoadingChanged);
        play(makeTrack(u"b"_s, QString(), u" \n\t"_s));
        QVERIFY(store().lyricsLoading());
        QVERIFY(!store().currentLyrics());
        QTRY_VERIFY(!store().lyricsLoading());
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"[00:01.00]Song b"_s));
        QCOMPARE(loading.count(), 2);
    }

    void lateAnswerForAnEarlierTrackIsDropped()
    {
        // The answer for "a" is held back until "b" has its lyrics.
        AnswerGate songA;
        m_host->on(u"GET"_s, u"/api/get"_s,
            songA.holdAnswersOf(answerWithTitle, [](const RecordedRequest &r) { return trackName(r) == "Song a"_L1; }));
        QSignalSpy finished(sharedNetworkAccessManager(), &QNetworkAccessManager::finished);

        play(withoutLyrics(u"a"_s));
        QTRY_COMPARE(m_host->requestCount(), 1);
        play(withoutLyrics(u"b"_s));
        QVERIFY(store().lyricsLoading());
        QTRY_VERIFY(!store().lyricsLoading());
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"[00:01.00]Song b"_s));

        QSignalSpy lyricsChanged(m_rig->store.get(), &PlayerStore::currentLyricsChanged);
        QSignalSpy loadingChanged(m_rig->store.get(), &PlayerStore::lyricsLoadingChanged);
        songA.open();
        QTRY_COMPARE(finished.count(), 2);
        QCoreApplication::processEvents();
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"[00:01.00]Song b"_s));
        QCOMPARE(lyricsChanged.count(), 0);
        QCOMPARE(loadingChanged.count(), 0);

        // The late answer still went into the cache: "a" is not asked again.
        play(withoutLyrics(u"a"_s));
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"[00:01.00]Song a"_s));
        QVERIFY(!store().lyricsLoading());
        QCOMPARE(m_host->requestCount(), 2);
    }

    // The other order: "b" is held back, so the answer for "a" arrives
    // while "b" still waits for its own.
    void earlierTracksAnswerArrivingFirstIsDropped()
    {
        AnswerGate songB;
        m_host->on(u"GET"_s, u"/api/get"_s,
            songB.holdAnswersOf(answerWithTitle, [](const RecordedRequest &r) { return trackName(r) == "Song b"_L1; }));
        QSignalSpy finished(sharedNetworkAccessManager(), &QNetworkAccessManager::finished);

        play(withoutLyrics(u"a"_s));
        play(withoutLyrics(u"b"_s));
        QTRY_COMPARE(finished.count(), 1);
        // The answer for "a" has been taken in; only "b" is under way.
        QVERIFY(waitUntilIdle(1));
        QVERIFY(store().lyricsLoading());
        QCOMPARE(store().currentLyrics(), std::nullopt);

        songB.open();
        QTRY_VERIFY(!store().lyricsLoading());
        QCOMPARE(store().currentLyrics(), std::optional<QString>(u"[00:01.00]Song b"_s));
    }

    // The track's own lyrics, brought by its full record, win over a
    // lookup's answer whichever comes first; blank ones change nothing.
    void ownLyricsFromTheRecordWin_data()
    {
        QTest::addColumn<bool>("answerFirst");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("recordLyrics");
        QTest::addColumn<QString>("shown");
        const QString own = u"own words"_s;
        const QString looked = u"[00:01.00]Song a"_s;
        QTest::newRow("own, then a late miss") << false << false << own << own;
        QTest::newRow("own, then a late find") << false << true << own << own;
        QTest::newRow("a miss, then own") << true << false << own << own;
        QTest::newRow("a find, then own") << true << true << u"\n own words \n"_s << own;
        QTest::newRow("a find, then blank own") << true << true << u" \n\t"_s << looked;
    }

    void ownLyricsFromTheRecordWin()
    {
        QFETCH(bool, answerFirst);
        QFETCH(bool, found);
        QFETCH(QString, recordLyrics);
        QFETCH(QString, shown);
        AnswerGate lookup;
        m_host->on(u"GET"_s, u"/api/get"_s, lookup.holdAnswersOf([found](const RecordedRequest &r) {
            return found ? answerWithTitle(r) : FakeResponse {404, "{}"};
        }));
        QSignalSpy finished(sharedNetworkAccessManager(), &QNetworkAccessManager::finished);
        // A miss asks "/api/get" and then searches twice.
        const int requests = found ? 1 : 3;
        const TrackOut bare = withoutLyrics(u"a"_s);
        TrackOut detailed = bare;
        detailed.lyrics = recordLyrics;
        if (answerFirst)
            lookup.open();
        play(bare);
        if (answerFirst) {
            QTRY_VERIFY(!store().lyricsLoading());
            store().updateCurrentTrack(detailed);
        } else {
            store().updateCurrentTrack(detailed);
            QVERIFY(!store().lyricsLoading());
            lookup.open();
        }
        QTRY_COMPARE(finished.count(), requests);
        QCoreApplication::processEvents();
        QCOMPARE(store().currentLyrics(), std::optional<QString>(shown));
        QVERIFY(!store().lyricsLoading());
        QCOMPARE(m_host->requestCount(), requests);
    }
};

QTEST_GUILESS_MAIN(TestPlayerLyrics)
#include "tst_playerlyrics.moc"
