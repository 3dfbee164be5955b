// The update store: the check against the running build, silent and
// reported, and the download from offer to the opened file, with every way
// it can fail leaving nothing to open.
#include "update/otaservice.h"
#include "update/otaupdatestore.h"
#include "update/updatedownload.h"

#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString manifestPath = u"/updates/pc/linux/linux-update.json"_s;

QByteArray packageBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    return bytes;
}

QStringList filesIn(const QString &folder)
{
    return folder.isEmpty() ? QStringList() : QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestOtaUpdateStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<OtaUpdateStore> m_store;
    // What the opener was handed, and the file's bytes at that moment.
    QStringList m_opened;
    QList<QByteArray> m_openedBytes;
    bool m_openerSucceeds = true;

    void offer(const QString &downloadUrl)
    {
        m_store->setAvailableManifest(OtaManifest {99, u"2.0"_s, downloadUrl, std::nullopt});
    }

    QString serverUrl(const QString &path) const { return m_server->baseUrl().toString() + path; }

    void download()
    {
        QSignalSpy finished(m_store.get(), &OtaUpdateStore::downloadFinished);
        m_store->downloadAndInstall();
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(!m_store->isDownloading());
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        // One server for all: stopping one waits for its kept-alive
        // connections.
        m_server = std::make_unique<FakeHttpServer>();
    }

    void cleanupTestCase() { m_server.reset(); }

    void init()
    {
        m_server->clearRequests();
        m_server->setFallback({});
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_server->baseUrl().toString());
        m_store = std::make_unique<OtaUpdateStore>();
        m_store->setCurrentBuild(27);
        m_opened.clear();
        m_openedBytes.clear();
        m_openerSucceeds = true;
        m_store->setFileOpener([this](const QString &path) {
            m_opened.append(path);
            QFile file(path);
            m_openedBytes.append(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
            return m_openerSucceeds;
        });
    }

    void cleanup()
    {
        if (m_store && !m_store->downloadFolder().isEmpty())
            QDir(m_store->downloadFolder()).removeRecursively();
        m_store.reset();
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QString>("status");
        QTest::newRow("same build, reported") << QByteArray("27") << false << false
                                              << u"У вас установлена последняя версия (build 27)"_s;
        QTest::newRow("same build, silent") << QByteArray("27") << true << false << QString();
        QTest::newRow("older, reported") << QByteArray("\"-5\"") << false << false
                                         << u"У вас установлена последняя версия (build 27)"_s;
        QTest::newRow("newer, reported") << QByteArray("28") << false << true << QString();
        QTest::newRow("newer, silent") << QByteArray("\"28\"") << true << true << QString();
    }

    void check()
    {
        QFETCH(QByteArray, code);
        QFETCH(bool, silent);
        QFETCH(bool, offered);
        QFETCH(QString, status);
        m_server->on(u"GET"_s, manifestPath,
            FakeResponse {200, R"({"versionCode":)" + code + R"(,"url":"https:\/\/example.org/n.AppImage"})"});
        QCoro::waitFor(m_store->checkUpdatesAsync(silent));
        QCOMPARE(m_store->hasAvailableManifest(), offered);
        QCOMPARE(m_store->statusMessage(), status);
        QVERIFY(m_store->errorText().isNull());
        QVERIFY(!m_store->isChecking());
    }

    void failedCheck_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("error");
        QTest::newRow("silent") << true << QString();
        QTest::newRow("reported") << false << u"Манифест недоступен (HTTP 404)"_s;
    }

    void failedCheck()
    {
        QFETCH(bool, silent);
        QFETCH(QString, error);
        m_server->on(u"GET"_s, manifestPath, FakeResponse {404, R"({"detail":"Not Found"})"});
        offer(u"https://example.org/earlier.AppImage"_s);
        QSignalSpy finished(m_store.get(), &OtaUpdateStore::checkFinished);
        QCoro::waitFor(m_store->checkUpdatesAsync(silent));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_store->errorText(), error);
        QVERIFY(m_store->statusMessage().isNull());
        // A failed check does not withdraw an earlier offer.
        QVERIFY(m_store->hasAvailableManifest());
    }

    void secondCheckWhileOneRuns()
    {
        AnswerGate slow;
        m_server->on(u"GET"_s, manifestPath,
            slow.hold(FakeResponse {200, R"({"versionCode":28,"url":"https:\/\/example.org/n.AppImage"})"}));
        QSignalSpy finished(m_store.get(), &OtaUpdateStore::checkFinished);
        m_store->checkUpdates(false);
        QVERIFY(m_store->isChecking());
        QTRY_COMPARE(m_server->requestCount(), 1);
        m_store->checkUpdates(false);
        slow.open();
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(waitUntilIdle());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void downloadWithProgress_data()
    {
        QTest::addColumn<bool>("chunked");
        QTest::newRow("length known") << false;
        QTest::newRow("length unknown") << true;
    }

    void downloadWithProgress()
    {
        QFETCH(bool, chunked);
        const QByteArray body = packageBytes(512 * 1024);
        FakeResponse response {200, body, "application/octet-stream"};
        response.pieceSize = 64 * 1024;
        response.chunked = chunked;
        // A known length: each piece goes once the store has shown the
        // progress before it (an unknown one shows none until the end).
        if (!chunked)
            response.pieceGate = std::make_shared<QSemaphore>();
        m_server->on(u"GET"_s, u"/files/Nimbra-2.0.AppImage"_s, response);
        offer(serverUrl(u"/files/Nimbra-2.0.AppImage"_s));

        QList<double> progress;
        connect(m_store.get(), &OtaUpdateStore::downloadProgressChanged, this, [&] {
            progress.append(m_store->downloadProgress());
            if (response.pieceGate)
                response.pieceGate->release();
        });
        download();

        QCOMPARE(progress.first(), -1.0);
        QCOMPARE(progress.last(), 1.0);
        if (chunked) {
            QCOMPARE(progress.size(), 2);
        } else {
            QVERIFY2(progress.size() > 3, qPrintable(QString::number(progress.size())));
            for (int i = 2; i < progress.size(); ++i)
                QVERIFY(progress[i] > progress[i - 1]);
        }
        QVERIFY(m_store->errorText().isNull());
        QVERIFY(!m_store->hasAvailableManifest());
        QCOMPARE(m_server->lastRequest().header(u"Accept-Encoding"_s), u"identity"_s);

        // The opener got the whole file, in the private folder, under its name.
        const QString folder = m_store->downloadFolder();
        QCOMPARE(m_opened, QStringList {QDir(folder).filePath(u"Nimbra-2.0.AppImage"_s)});
        QVERIFY(m_openedBytes.first() == body);
        QCOMPARE(filesIn(folder), QStringList {u"Nimbra-2.0.AppImage"_s});
        QVERIFY(folder.startsWith(QDir::tempPath() + u'/'));
        QCOMPARE(QFile::permissions(folder) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void failedDownload_data()
    {
        QTest::addColumn<QString>("address"); // a path on the fake, or a whole address
        QTest::addColumn<int>("status");
        QTest::addColumn<qsizetype>("cutAfter");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("requests");
        QTest::newRow("404") << u"/files/n.AppImage"_s << 404 << qsizetype(-1)
                             << u"Не удалось загрузить обновление: сервер ответил HTTP 404"_s << 1;
        QTest::newRow("short body") << u"/files/n.AppImage"_s << 200 << qsizetype(100000)
                                    << u"Не удалось загрузить обновление: файл получен не полностью (100000 из 262144 байт)"_s
                                    << 1;
        QTest::newRow("no length, short body")
            << u"/files/chunked.AppImage"_s << 200 << qsizetype(100000)
            << u"Не удалось загрузить обновление: файл получен не полностью (связь прервалась после 100000 байт)"_s << 1;
        QTest::newRow("no length, ended by the close") << u"/files/open.AppImage"_s << 200 << qsizetype(-1)
            << u"Не удалось загрузить обновление: сервер не сообщил размер файла, и проверить, получен ли он целиком, нельзя"_s
            << 1;
        QTest::newRow("http on a foreign host") << u"http://example.org/n.AppImage"_s << 200 << qsizetype(-1)
                                                << u"Не удалось загрузить обновление: адрес загрузки не защищён (нужен https)"_s
                                                << 0;
        QTest::newRow("a file here") << u"file:///tmp/n.AppImage"_s << 200 << qsizetype(-1)
                                     << u"Не удалось загрузить обновление: неверный адрес загрузки"_s << 0;
        QTest::newRow("relative") << u"files/n.AppImage"_s << 200 << qsizetype(-1)
                                  << u"Не удалось загрузить обновление: неверный адрес загрузки"_s << 0;
        QTest::newRow("a host that does not parse") << u"https://bad host/x.AppImage"_s << 200 << qsizetype(-1)
                                                    << u"Не удалось загрузить обновление: неверный адрес загрузки"_s << 0;
        QTest::newRow("redirect to http elsewhere") << u"/moved"_s << 200 << qsizetype(-1)
                                                    << u"Не удалось загрузить обновление: адрес загрузки не защищён (нужен https)"_s
                                                    << 1;
    }

    void failedDownload()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(qsizetype, cutAfter);
        QFETCH(QString, error);
        QFETCH(int, requests);
        FakeResponse response {status, packageBytes(256 * 1024), "application/octet-stream"};
        response.cutAfter = cutAfter;
        response.pieceSize = cutAfter >= 0 ? 50000 : 0;
        m_server->on(u"GET"_s, u"/files/n.AppImage"_s, response);
        response.chunked = true;
        m_server->on(u"GET"_s, u"/files/chunked.AppImage"_s, response);
        response.untilClose = true;
        m_server->on(u"GET"_s, u"/files/open.AppImage"_s, response);
        m_server->on(u"GET"_s, u"/moved"_s,
            FakeResponse {302, {}, "text/plain", false, {{"Location", "http://example.org/n.AppImage"}}});
        offer(address.startsWith(u'/') ? serverUrl(address) : address);

        // Whether the network layer notices a cut is a race that it loses
        // now and then, so a cut is tried again (the offer stays for that).
        for (int attempt = 0; attempt < (cutAfter >= 0 ? 10 : 1); ++attempt) {
            m_server->clearRequests();
            if (requests == 0) {
                QCoro::waitFor(m_store->downloadAndInstallAsync());
            } else {
                download();
            }
            QCOMPARE(m_store->errorText(), error);
            // Never asked twice: an answer to a second request could end at
            // a cut without an error.
            QCOMPARE(m_server->requestCount(), requests);
            QVERIFY(m_opened.isEmpty());
            QVERIFY(filesIn(m_store->downloadFolder()).isEmpty());
            QVERIFY(m_store->hasAvailableManifest());
        }
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u"/a/Nimbra 2.AppImage"_s << u"Nimbra 2.AppImage"_s;
        QTest::newRow("host only") << QString() << u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("slash only") << u"/"_s << u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("dot dot") << u"/a/.."_s << u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("encoded slash") << u"/a/..%2F..%2Fevil"_s << u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("backslash") << u"/a/..%5Cevil"_s << u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("nul") << u"/a/x%00y"_s << u"Nimbras-Setup.AppImage"_s;
    }

    void fileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(UpdateDownload::fileNameFor(QUrl(u"https://example.org"_s + path)), name);
    }

    void unsafeNameIsSavedUnderTheFallback()
    {
        const QByteArray body = packageBytes(1000);
        m_server->setFallback([body](const RecordedRequest &) { return FakeResponse {200, body, "x/y"}; });
        offer(serverUrl(u"/a/..%2F..%2Fevil"_s));
        download();
        QCOMPARE(m_opened, QStringList {QDir(m_store->downloadFolder()).filePath(u"Nimbras-Setup.AppImage"_s)});
        QVERIFY(m_openedBytes.first() == body);
    }

    void secondDownloadIsRefused()
    {
        FakeResponse held {200, packageBytes(200000), "application/octet-stream"};
        held.pieceSize = 50000;
        held.hold = std::make_shared<std::atomic_bool>(true);
        m_server->on(u"GET"_s, u"/n.AppImage"_s, held);
        offer(serverUrl(u"/n.AppImage"_s));
        m_store->downloadAndInstall();
        QTRY_VERIFY(m_store->downloadProgress() > 0);
        QVERIFY(m_store->isDownloading());
        m_store->downloadAndInstall();
        // Closing the strip does not stop the download.
        m_store->dismissAvailableManifest();
        QSignalSpy finished(m_store.get(), &OtaUpdateStore::downloadFinished);
        *held.hold = false;
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_opened.size(), 1);
    }

    void storeGoesDuringADownload()
    {
        FakeResponse held {200, packageBytes(200000), "application/octet-stream"};
        held.pieceSize = 50000;
        held.hold = std::make_shared<std::atomic_bool>(true);
        m_server->on(u"GET"_s, u"/n.AppImage"_s, held);
        offer(serverUrl(u"/n.AppImage"_s));
        m_store->downloadAndInstall();
        QTRY_VERIFY(m_store->downloadProgress() > 0);
        const QString folder = m_store->downloadFolder();
        m_store.reset();
        *held.hold = false;
        QVERIFY(waitUntilIdle());
        QVERIFY(m_opened.isEmpty());
        QVERIFY(filesIn(folder).isEmpty());
        QDir(folder).removeRecursively();
    }

    void openerFailureSaysWhereTheFileIs()
    {
        m_server->on(u"GET"_s, u"/n.AppImage"_s, FakeResponse {200, "abc", "x/y"});
        offer(serverUrl(u"/n.AppImage"_s));
        m_openerSucceeds = false;
        download();
        const QString path = QDir(m_store->downloadFolder()).filePath(u"n.AppImage"_s);
        // Told as the offer's failure, which the strip and the settings show
        // while the offer stays.
        QCOMPARE(m_store->errorText(), u"Не удалось открыть обновление. Файл сохранён в папке "_s + m_store->downloadFolder());
        QVERIFY(m_store->statusMessage().isNull());
        QVERIFY(m_store->hasAvailableManifest());
        QVERIFY(QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestOtaUpdateStore)
#include "tst_otaupdatestore.moc"
