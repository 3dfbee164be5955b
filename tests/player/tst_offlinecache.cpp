#include "eventloop.h"
#include "fakehttpserver.h"
#include "playerrig.h"
#include "taskoutcome.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "player/audiocacheservice.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QByteArray audioBytes = QByteArray("RIFF") + QByteArray(200000, 'x') + QByteArray("end");

FakeResponse audio()
{
    return FakeResponse {200, audioBytes, "audio/wav"};
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The offline cache folder and its downloads against a loopback server, and
// the player's offline actions: the listener's save and removal with their
// messages, and the silent save from the fifth start of a track.
class TestOfflineCache : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<FakeHttpServer> m_foreign;
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<AudioCacheService> m_cache;

    AudioCacheService &cache() { return *m_cache; }
    QUrl fileUrl(const QString &path) const { return m_server->baseUrl().resolved(QUrl(path)); }
    QStringList folderEntries() const
    {
        return QDir(m_cache->cacheDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    TaskOutcome<QUrl> download(const QString &id, const QUrl &from, std::optional<QString> token = std::nullopt)
    {
        return outcomeOf(cache().downloadTrack(id, from, token));
    }

    // The player over this cache.
    std::unique_ptr<PlayerRig> m_rig;
    PlayerStore &store() { return *m_rig->store; }
    // Heard before the next start: none is one of a quick series.
    void play(const QString &id)
    {
        store().play(makeTrack(id), {});
        m_rig->player()->tick(1.0);
    }
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
        m_foreign = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_server->baseUrl());
        m_server->clearRequests();
        m_foreign->clearRequests();
        m_server->on(u"GET"_s, u"/media/a.wav"_s, audio());
        m_foreign->on(u"GET"_s, u"/cdn/a.wav"_s, audio());
        m_root = std::make_unique<QTemporaryDir>();
        m_cache = std::make_unique<AudioCacheService>(m_root->filePath(u"data/audio_cache"_s));
        // Routes outlive a test; every track starts served.
        for (const QString &id : {u"a"_s, u"b"_s})
            serve(id, FakeResponse {200, audioBytes, "audio/mpeg"});
        m_rig = std::make_unique<PlayerRig>(m_cache.get());
    }

    void cleanup() { m_rig.reset(); }

    void cleanupTestCase()
    {
        m_server.reset();
        m_foreign.reset();
    }

    void theFolderIsMadeAndLeftoversOfACrashGo()
    {
        constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        // The mode bits: the flags of the user running the test aside.
        const auto mode = [this] {
            return QFile::permissions(cache().cacheDir()) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        };
        QVERIFY(QFileInfo(cache().cacheDir()).isDir());
        QCOMPARE(mode(), ownerOnly);
        // One that an earlier version left open to others is closed.
        QVERIFY(QFile::setPermissions(cache().cacheDir(), ownerOnly | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther));
        QFile leftover(cache().cacheDir() + u"/.download-Ab12Cd.part"_s);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        QVERIFY(leftover.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        leftover.close();
        // Another client's download in progress is left alone.
        QFile running(cache().cacheDir() + u"/.download-Xy34Zw.part"_s);
        QVERIFY(running.open(QIODevice::WriteOnly));
        running.close();
        AudioCacheService again(cache().cacheDir());
        QCOMPARE(mode(), ownerOnly);
        QVERIFY(!leftover.exists());
        QVERIFY(running.exists());
        running.remove();
        QVERIFY(again.cachedTrackIds().isEmpty());
    }

    void aDownloadIsSavedWhole()
    {
        QSignalSpy changed(m_cache.get(), &AudioCacheService::cacheChanged);
        const auto outcome = download(u"42"_s, fileUrl(u"/media/a.wav"_s));
        QVERIFY(outcome.value);
        const QString path = cache().cacheDir() + u"/42.audio"_s;
        QCOMPARE(*outcome.value, QUrl::fromLocalFile(path));
        QCOMPARE(contents(path), audioBytes);
        QCOMPARE(folderEntries(), QStringList({u"42.audio"_s}));
        QCOMPARE(changed.count(), 1);

        // A copy that exists is not fetched again.
        QCOMPARE(download(u"42"_s, fileUrl(u"/media/a.wav"_s)).value, outcome.value);
        QCOMPARE(m_server->requestCount(), 1);

        cache().removeCached(u"42"_s);
        QVERIFY(!cache().localUrl(u"42"_s));
        QCOMPARE(changed.count(), 2);
    }

    void aFailedDownloadLeavesNothing_data()
    {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("message");
        QTest::newRow("404") << FakeResponse {404, "missing", "text/plain"} << u"Ошибка сервера (404)"_s;
        FakeResponse dropped;
        dropped.dropConnection = true;
        QTest::newRow("connection dropped mid-body") << dropped << u"Соединение с сервером прервано"_s;
        FakeResponse open {200, QByteArray(64 * 1024, 'a'), "audio/wav"};
        open.untilClose = true;
        QTest::newRow("no length, ended by the close") << open << u"Соединение с сервером прервано"_s;
        FakeResponse cut {200, QByteArray(64 * 1024, 'a'), "audio/wav"};
        cut.pieceSize = 8192;
        cut.cutAfter = 16384;
        QTest::newRow("shorter than announced") << cut << u"Соединение с сервером прервано"_s;
    }

    void aFailedDownloadLeavesNothing()
    {
        QFETCH(FakeResponse, response);
        QFETCH(QString, message);
        m_server->on(u"GET"_s, u"/media/broken.wav"_s, response);
        const auto outcome = download(u"7"_s, fileUrl(u"/media/broken.wav"_s));
        QVERIFY(!outcome.value);
        QCOMPARE(describeException(outcome.error), message);
        QCOMPARE(folderEntries(), QStringList());
        QVERIFY(!cache().localUrl(u"7"_s));
        // Never asked twice: a second answer could end at a cut unnoticed.
        QCOMPARE(m_server->requestsTo(u"/media/broken.wav"_s), 1);
    }

    void aCancelledDownloadLeavesNothing()
    {
        // Cancelled once the request has arrived, while its answer is held.
        AnswerGate gate;
        CancelToken cancel;
        m_server->on(u"GET"_s, u"/media/slow.wav"_s, gate.hold(audio(), [cancel] { cancelFromEventLoop(cancel); }));
        const auto outcome = outcomeOf(cache().downloadTrack(u"9"_s, fileUrl(u"/media/slow.wav"_s), {}, cancel));
        QVERIFY(outcome.errorAs<ApiError>() && outcome.errorAs<ApiError>()->isCancelled());
        QCOMPARE(folderEntries(), QStringList());
    }

    // The loop gives way after twenty hops, so that a download without a
    // limit ends with a saved file instead of running on for ever.
    void aRedirectLoopStopsAtTheLimit()
    {
        auto hops = std::make_shared<std::atomic_int>(0);
        m_server->on(u"GET"_s, u"/media/loop.wav"_s, [hops](const RecordedRequest &) {
            if (++*hops > 20)
                return audio();
            FakeResponse moved {302, "", "text/plain"};
            moved.headers = {{"Location", "/media/loop.wav"}};
            return moved;
        });
        const auto outcome = download(u"8"_s, fileUrl(u"/media/loop.wav"_s));
        QVERIFY(!outcome.value);
        QCOMPARE(describeException(outcome.error), u"Ошибка сервера (302)"_s);
        QCOMPARE(m_server->requestCount(), AudioCacheService::maxRedirects + 1);
        QCOMPARE(folderEntries(), QStringList());
    }

    // A local file answers inside the call that asks for it, so the reply
    // has finished before it is awaited: with its body ("localhost"), or
    // refused (any other host).
    void aReplyFinishedBeforeTheAwait_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("saved");
        QTest::newRow("immediate success") << u"localhost"_s << true;
        QTest::newRow("immediate error") << u"elsewhere"_s << false;
    }

    void aReplyFinishedBeforeTheAwait()
    {
        QFETCH(QString, host);
        QFETCH(bool, saved);
        QFile source(m_root->filePath(u"source.wav"_s));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(audioBytes) == audioBytes.size());
        source.close();
        const auto outcome = download(u"4"_s, QUrl(u"file://"_s + host + source.fileName()));
        QCOMPARE(bool(outcome.value), saved);
        QCOMPARE(saved ? contents(outcome.value->toLocalFile()) : QByteArray(), saved ? audioBytes : QByteArray());
        QCOMPARE(bool(outcome.errorAs<ApiError>()), !saved);
        QCOMPARE(folderEntries(), saved ? QStringList({u"4.audio"_s}) : QStringList());
    }

    void theTokenGoesOnlyToTheServicesOrigin_data()
    {
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<std::optional<QString>>("token");
        QTest::addColumn<QString>("header"); // null: no header at all
        QTest::newRow("token") << false << std::optional<QString>(u"abc"_s) << u"Bearer abc"_s;
        QTest::newRow("other host, token") << true << std::optional<QString>(u"abc"_s) << QString();
    }

    void theTokenGoesOnlyToTheServicesOrigin()
    {
        QFETCH(bool, foreign);
        QFETCH(std::optional<QString>, token);
        QFETCH(QString, header);
        FakeHttpServer &host = foreign ? *m_foreign : *m_server;
        const QUrl from = host.baseUrl().resolved(QUrl(foreign ? u"/cdn/a.wav"_s : u"/media/a.wav"_s));
        QVERIFY(download(u"1"_s, from, token).value);
        QCOMPARE(host.requestCount(), 1);
        const RecordedRequest request = host.lastRequest();
        QCOMPARE(request.hasHeader(u"Authorization"_s), !header.isNull());
        // The server trims the trailing space of "Bearer ".
        if (!header.isNull())
            QCOMPARE(request.header(u"Authorization"_s).trimmed(), header);
    }

    void aRedirectToAnotherHostLosesTheToken()
    {
        const QByteArray target = m_foreign->baseUrl().resolved(QUrl(u"/cdn/a.wav"_s)).toEncoded();
        FakeResponse moved {302, "", "text/plain"};
        moved.headers = {{"Location", target}};
        m_server->on(u"GET"_s, u"/media/moved.wav"_s, moved);
        const auto outcome = download(u"5"_s, fileUrl(u"/media/moved.wav"_s), u"abc"_s);
        QVERIFY(outcome.value);
        QCOMPARE(contents(outcome.value->toLocalFile()), audioBytes);
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer abc"_s);
        QCOMPARE(m_foreign->requestCount(), 1);
        QVERIFY(!m_foreign->lastRequest().hasHeader(u"Authorization"_s));
    }

    void unsafeIdsStayInsideTheFolder()
    {
        // Parent and absolute paths, a backslash, "..", the empty id, and one
        // that looks like an escaped name.
        for (const QString &id : {u"../../escape"_s, u"/tmp/escape"_s, u"a\\b"_s, u".."_s, QString(), u"~abc"_s}) {
            const auto outcome = download(id, fileUrl(u"/media/a.wav"_s));
            QVERIFY(outcome.value);
            const QStringList entries = folderEntries();
            QCOMPARE(entries.size(), 1);
            QVERIFY(entries.first().startsWith(u"~"_s));
            QCOMPARE(outcome.value->toLocalFile(), cache().cacheDir() + u"/"_s + entries.first());
            QCOMPARE(QDir(m_root->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({u"data"_s}));
            QCOMPARE(cache().cachedTrackIds(), QSet<QString>({id}));
            cache().removeCached(id);
            QCOMPARE(folderEntries(), QStringList());
        }
    }

    // "a/b" is written as "~YS9i.audio"; the id "~YS9i" needs a file of
    // its own, or saving one would overwrite the other.
    void anIdLikeAnEncodedNameKeepsItsOwnFile()
    {
        QCOMPARE(AudioCacheService::fileNameFor(u"a/b"_s), u"~YS9i.audio"_s);
        m_server->on(u"GET"_s, u"/media/other.wav"_s, FakeResponse {200, "other", "audio/wav"});
        const auto encoded = download(u"a/b"_s, fileUrl(u"/media/a.wav"_s));
        const auto lookalike = download(u"~YS9i"_s, fileUrl(u"/media/other.wav"_s));
        QVERIFY(encoded.value && lookalike.value);
        QVERIFY(*encoded.value != *lookalike.value);
        QCOMPARE(folderEntries().size(), 2);
        QCOMPARE(contents(encoded.value->toLocalFile()), audioBytes);
        QCOMPARE(contents(lookalike.value->toLocalFile()), QByteArray("other"));
        QCOMPARE(cache().cachedTrackIds(), QSet<QString>({u"a/b"_s, u"~YS9i"_s}));
    }

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
        m_rig->session.setToken(u"tok"_s);
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
        m_rig->session.setToken(u"tok"_s);
        for (int start = 1; start <= 4; ++start)
            play(u"a"_s);
        QVERIFY(waitUntilIdle());
        QCOMPARE(requestsFor(u"a"_s), 0);
        play(u"a"_s);
        QTRY_VERIFY(m_cache->localUrl(u"a"_s));
        QCOMPARE(requestsFor(u"a"_s), 1);
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);
        QVERIFY(!store().cacheMessage());
        // The sixth start plays the copy and fetches nothing.
        play(u"a"_s);
        QCOMPARE(m_rig->backend.lastPlayer()->source(), *m_cache->localUrl(u"a"_s));
        QVERIFY(waitUntilIdle());
        QCOMPARE(requestsFor(u"a"_s), 1);
    }

    void aListenersSaveBlocksTheSilentOne()
    {
        serve(u"b"_s, FakeResponse {200, audioBytes, "audio/mpeg"});
        play(u"b"_s);
        // The listener's save runs from here until the event loop has its
        // answer, so all five starts below meet it.
        store().cacheCurrentTrack();
        for (int start = 1; start <= 5; ++start)
            play(u"a"_s);
        QTRY_VERIFY(!store().cachingTrackId());
        QCOMPARE(requestsFor(u"a"_s), 0);
        // The sixth start, with no save of the listener running, saves.
        play(u"a"_s);
        QTRY_VERIFY(m_cache->localUrl(u"a"_s));
        QCOMPARE(store().cacheMessage(), std::optional<QString>(u"Трек сохранён для офлайна"_s));
    }
};

QTEST_GUILESS_MAIN(TestOfflineCache)
#include "tst_offlinecache.moc"
