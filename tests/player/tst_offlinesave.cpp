#include "fakehttpserver.h"
#include "playerrig.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "player/audiocacheservice.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QByteArray audioBytes(4096, 'a');

} // namespace

// The player's offline actions: the listener's save and removal with their
// messages, and the silent save from the fifth start of a track.
class TestOfflineSave : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<AudioCacheService> m_cache;
    std::unique_ptr<PlayerRig> m_rig;

    PlayerStore &store() { return *m_rig->store; }

    void play(const QString &id) { store().play(makeTrack(id), {}); }
    int requestsFor(const QString &id) const
    {
        int n = 0;
        for (const RecordedRequest &r : m_server->requests())
            n += r.path == u"/media/"_s + id + u".mp3"_s;
        return n;
    }
    void serve(const QString &id, FakeResponse response)
    {
        m_server->on(u"GET"_s, u"/media/"_s + id + u".mp3"_s, response);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        APIConfig::setBaseURL(m_server->baseUrl());
        m_server->clearRequests();
        // Routes outlive a test; every track starts served.
        for (const QString &id : {u"a"_s, u"b"_s})
            serve(id, FakeResponse {200, audioBytes, "audio/mpeg"});
        m_root = std::make_unique<QTemporaryDir>();
        m_cache = std::make_unique<AudioCacheService>(m_root->filePath(u"audio_cache"_s));
        m_rig = std::make_unique<PlayerRig>(m_cache.get());
    }

    void cleanup() { m_rig.reset(); }

    void cleanupTestCase() { m_server.reset(); }

    void aListenersSaveReportsItsOutcome_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("cached");
        QTest::newRow("saved") << 200 << u"Трек сохранён для офлайна"_s << true;
        QTest::newRow("refused") << 404 << u"Ошибка сервера (404)"_s << false;
    }

    void aListenersSaveReportsItsOutcome()
    {
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(bool, cached);
        serve(u"a"_s, FakeResponse {status, status == 200 ? audioBytes : QByteArray(), "audio/mpeg"});
        store().setAuthToken(u"tok"_s);
        play(u"a"_s);
        store().setCacheMessage(u"old"_s);
        QSignalSpy cachedChanged(m_rig->store.get(), &PlayerStore::currentTrackIsCachedChanged);
        store().cacheCurrentTrack();
        QCOMPARE(store().cachingTrackId(), std::optional<QString>(u"a"_s));
        QVERIFY(!store().cacheMessage());
        QTRY_VERIFY(!store().cachingTrackId());
        QCOMPARE(store().cacheMessage(), std::optional<QString>(message));
        QCOMPARE(store().currentTrackIsCached(), cached);
        QCOMPARE(cachedChanged.count(), cached ? 1 : 0);
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);
    }

    void savingACachedTrackDoesNothing()
    {
        play(u"a"_s);
        store().cacheCurrentTrack();
        QTRY_VERIFY(store().currentTrackIsCached());
        store().setCacheMessage(std::nullopt);
        store().cacheCurrentTrack();
        QVERIFY(!store().cachingTrackId());
        QVERIFY(!store().cacheMessage());
        QCOMPARE(requestsFor(u"a"_s), 1);

        store().removeCurrentTrackFromCache();
        QVERIFY(!store().currentTrackIsCached());
        QCOMPARE(store().cacheMessage(), std::optional<QString>(u"Файл удалён с устройства"_s));
    }

    void theFifthStartSavesSilently()
    {
        store().setAuthToken(u"tok"_s);
        for (int start = 1; start <= 4; ++start)
            play(u"a"_s);
        QTest::qWait(50);
        QCOMPARE(requestsFor(u"a"_s), 0);
        play(u"a"_s);
        QTRY_VERIFY(m_cache->localURL(u"a"_s));
        QCOMPARE(requestsFor(u"a"_s), 1);
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);
        QVERIFY(!store().cacheMessage());
        // The sixth start plays the copy and fetches nothing.
        play(u"a"_s);
        QCOMPARE(m_rig->backend.lastPlayer()->source(), *m_cache->localURL(u"a"_s));
        QTest::qWait(50);
        QCOMPARE(requestsFor(u"a"_s), 1);
    }

    void aListenersSaveBlocksTheSilentOne()
    {
        FakeResponse slow {200, audioBytes, "audio/mpeg"};
        slow.delayMs = 300;
        serve(u"b"_s, slow);
        play(u"b"_s);
        store().cacheCurrentTrack();
        for (int start = 1; start <= 5; ++start)
            play(u"a"_s);
        QTRY_VERIFY(!store().cachingTrackId());
        QCOMPARE(requestsFor(u"a"_s), 0);
        // The sixth start, with no save of the listener running, saves.
        play(u"a"_s);
        QTRY_VERIFY(m_cache->localURL(u"a"_s));
        QCOMPARE(store().cacheMessage(), std::optional<QString>(u"Трек сохранён для офлайна"_s));
    }
};

QTEST_GUILESS_MAIN(TestOfflineSave)
#include "tst_offlinesave.moc"
