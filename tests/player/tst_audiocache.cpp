#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "player/audiocacheservice.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

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

// The offline cache folder and its downloads, against a loopback server.
class TestAudioCache : public QObject
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

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        m_foreign = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        APIConfig::setBaseURL(m_server->baseUrl());
        m_server->clearRequests();
        m_foreign->clearRequests();
        m_server->on(u"GET"_s, u"/media/a.wav"_s, audio());
        m_foreign->on(u"GET"_s, u"/cdn/a.wav"_s, audio());
        m_root = std::make_unique<QTemporaryDir>();
        m_cache = std::make_unique<AudioCacheService>(m_root->filePath(u"data/audio_cache"_s));
    }

    void cleanupTestCase()
    {
        m_server.reset();
        m_foreign.reset();
    }

    void theFolderIsMadeAndLeftoversOfACrashGo()
    {
        QVERIFY(QFileInfo(cache().cacheDir()).isDir());
        QFile leftover(cache().cacheDir() + u"/.download-Ab12Cd.part"_s);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        AudioCacheService again(cache().cacheDir());
        QVERIFY(!leftover.exists());
        QVERIFY(again.cachedTrackIDs().isEmpty());
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
        QCOMPARE(cache().localURL(u"42"_s), std::optional<QUrl>(QUrl::fromLocalFile(path)));
        QCOMPARE(changed.count(), 1);

        // A copy that exists is not fetched again.
        QCOMPARE(download(u"42"_s, fileUrl(u"/media/a.wav"_s)).value, outcome.value);
        QCOMPARE(m_server->requestCount(), 1);

        cache().removeCached(u"42"_s);
        QVERIFY(!cache().localURL(u"42"_s));
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
        QVERIFY(!cache().localURL(u"7"_s));
    }

    void aCancelledDownloadLeavesNothing()
    {
        FakeResponse slow = audio();
        slow.delayMs = 300;
        m_server->on(u"GET"_s, u"/media/slow.wav"_s, slow);
        CancelToken cancel;
        QTimer::singleShot(50, [cancel] { cancel.cancel(); });
        const auto outcome = outcomeOf(cache().downloadTrack(u"9"_s, fileUrl(u"/media/slow.wav"_s), {}, cancel));
        QVERIFY(outcome.errorAs<APIError>() && outcome.errorAs<APIError>()->isCancelled());
        QCOMPARE(folderEntries(), QStringList());
    }

    void theTokenGoesOnlyToTheServicesOrigin_data()
    {
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<std::optional<QString>>("token");
        QTest::addColumn<QString>("header"); // null: no header at all
        QTest::newRow("no token") << false << std::optional<QString>() << QString();
        QTest::newRow("token") << false << std::optional<QString>(u"abc"_s) << u"Bearer abc"_s;
        QTest::newRow("empty token") << false << std::optional<QString>(u""_s) << u"Bearer"_s;
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

    void unsafeIdsStayInsideTheFolder_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("parent path") << u"../../escape"_s;
        QTest::newRow("absolute path") << u"/tmp/escape"_s;
        QTest::newRow("backslash") << u"a\\b"_s;
        QTest::newRow("dot dot") << u".."_s;
        QTest::newRow("empty") << u""_s;
        QTest::newRow("marker") << u"~abc"_s;
    }

    void unsafeIdsStayInsideTheFolder()
    {
        QFETCH(QString, id);
        const QUrl path = QUrl::fromLocalFile(cache().cacheDir() + u"/"_s + AudioCacheService::fileNameFor(id));
        const auto outcome = download(id, fileUrl(u"/media/a.wav"_s));
        QVERIFY(outcome.value);
        QCOMPARE(*outcome.value, path);
        const QStringList entries = folderEntries();
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries.first().startsWith(u"~"_s));
        QCOMPARE(QDir(m_root->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({u"data"_s}));
        QCOMPARE(cache().cachedTrackIDs(), QSet<QString>({id}));
        cache().removeCached(id);
        QCOMPARE(folderEntries(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestAudioCache)
#include "tst_audiocache.moc"
