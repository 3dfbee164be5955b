// A self-update that goes wrong: its failure stays in view with the offer,
// an earlier good file survives a failed download, the file name from the
// manifest is used only when it is a safe installer name, and the empty
// folders of earlier runs go.
#include "api/storeregistry.h"
#include "update/otaservice.h"
#include "update/otaupdatestore.h"
#include "update/updatebannermodel.h"
#include "update/updatedownload.h"

#include "fakehttpserver.h"
#include "testenv.h"

#include <QDir>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestUpdateFailures : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<OtaUpdateStore> m_store;
    bool m_openerSucceeds = true;

    void offer(const QString &path)
    {
        m_store->setAvailableManifest(
            OtaManifest {99, u"2.0"_s, m_server->baseUrl().toString() + path, u"Новое\nещё"_s});
    }

    void download()
    {
        QSignalSpy finished(m_store.get(), &OtaUpdateStore::downloadFinished);
        m_store->downloadAndInstall();
        QTRY_COMPARE(finished.size(), 1);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
    }

    void init()
    {
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_server->baseUrl().toString());
        m_store = std::make_unique<OtaUpdateStore>();
        m_openerSucceeds = true;
        m_store->setFileOpener([this](const QString &) { return m_openerSucceeds; });
    }

    void cleanup()
    {
        if (m_store && !m_store->downloadFolder().isEmpty())
            QDir(m_store->downloadFolder()).removeRecursively();
        m_store.reset();
    }

    // Under the settings' button and as the strip's second line, in place of
    // the notes, while the offer stays; a new attempt clears it.
    void failureShowsWhileTheOfferStays()
    {
        // The strip finds the store where the program registers it.
        StoreRegistry::set(m_store.get());
        UpdateBannerModel banner;
        offer(u"/n.AppImage"_s);
        QCOMPARE(banner.notesLine(), u"Новое"_s);
        QVERIFY(!banner.notesLineIsFailure());

        FakeResponse cut {200, QByteArray(100000, 'x'), "application/octet-stream"};
        cut.cutAfter = 1000;
        m_server->on(u"GET"_s, u"/n.AppImage"_s, cut);
        download();
        QVERIFY(m_store->hasAvailableManifest());
        QVERIFY(m_store->errorText().startsWith(u"Не удалось загрузить обновление: "_s));
        QVERIFY(banner.hasNotesLine());
        QVERIFY(banner.notesLineIsFailure());
        QCOMPARE(banner.notesLine(), m_store->errorText());
        QVERIFY(banner.showsDownloadButton());

        // The file arrives but cannot be opened: the offer stays, naming the
        // folder where the file lies.
        m_server->on(u"GET"_s, u"/n.AppImage"_s, FakeResponse {200, "abc", "application/octet-stream"});
        m_openerSucceeds = false;
        download();
        QVERIFY(m_store->hasAvailableManifest());
        QVERIFY(m_store->errorText().contains(QDir::toNativeSeparators(m_store->downloadFolder())));
        QCOMPARE(banner.notesLine(), m_store->errorText());
        QVERIFY(QFile::exists(QDir(m_store->downloadFolder()).filePath(u"n.AppImage"_s)));

        m_openerSucceeds = true;
        download();
        QVERIFY(!m_store->hasAvailableManifest());
        QVERIFY(m_store->errorText().isEmpty());
    }

    // A file saved earlier under the name outlives a failed download and
    // gives way only to a whole new one.
    void failedDownloadKeepsTheEarlierFile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<qsizetype>("cutAfter");
        QTest::newRow("cut short") << 200 << qsizetype(5000);
        QTest::newRow("error answer") << 500 << qsizetype(-1);
    }

    void failedDownloadKeepsTheEarlierFile()
    {
        QFETCH(int, status);
        QFETCH(qsizetype, cutAfter);
        const auto contents = [this] {
            QFile file(QDir(m_store->downloadFolder()).filePath(u"n.deb"_s));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        m_server->on(u"GET"_s, u"/n.deb"_s, FakeResponse {200, "first whole file", "application/octet-stream"});
        offer(u"/n.deb"_s);
        download();
        QCOMPARE(contents(), QByteArray("first whole file"));

        FakeResponse failing {status, QByteArray(100000, 'y'), "application/octet-stream"};
        failing.cutAfter = cutAfter;
        m_server->on(u"GET"_s, u"/n.deb"_s, failing);
        offer(u"/n.deb"_s);
        download();
        QVERIFY(!m_store->errorText().isEmpty());
        QCOMPARE(contents(), QByteArray("first whole file"));
        QCOMPARE(QDir(m_store->downloadFolder()).entryList(QDir::Files | QDir::Hidden), QStringList {u"n.deb"_s});

        m_server->on(u"GET"_s, u"/n.deb"_s, FakeResponse {200, "second whole file", "application/octet-stream"});
        download();
        QVERIFY(m_store->errorText().isEmpty());
        QCOMPARE(contents(), QByteArray("second whole file"));
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        const QString fallback = u"Nimbras-Setup.AppImage"_s;
        QTest::newRow("deb") << u"/a/nimbra_2.0_amd64.deb"_s << u"nimbra_2.0_amd64.deb"_s;
        QTest::newRow("rpm") << u"/a/nimbra-2.0.rpm"_s << u"nimbra-2.0.rpm"_s;
        QTest::newRow("tar.gz") << u"/a/nimbra.tar.gz"_s << u"nimbra.tar.gz"_s;
        QTest::newRow("tar.xz") << u"/a/nimbra.tar.xz"_s << u"nimbra.tar.xz"_s;
        QTest::newRow("zip") << u"/a/nimbra.zip"_s << u"nimbra.zip"_s;
        QTest::newRow("a script") << u"/a/install.sh"_s << fallback;
        QTest::newRow("no extension") << u"/a/nimbra"_s << fallback;
        QTest::newRow("extension alone") << u"/a/.AppImage"_s << fallback;
        QTest::newRow("gz without tar") << u"/a/nimbra.gz"_s << fallback;
        QTest::newRow("extension in another case") << u"/a/nimbra.appimage"_s << fallback;
        QTest::newRow("right-to-left override") << u"/a/x%E2%80%AEgepmIppA.AppImage"_s << fallback;
        QTest::newRow("isolate") << u"/a/x%E2%81%A6y.deb"_s << fallback;
        QTest::newRow("control character") << u"/a/x%01y.deb"_s << fallback;
        QTest::newRow("line break") << u"/a/x%0Ay.zip"_s << fallback;
        QTest::newRow("line separator") << u"/a/x%E2%80%A8y.zip"_s << fallback;
        QTest::newRow("zero-width space") << u"/a/x%E2%80%8By.rpm"_s << fallback;
        QTest::newRow("folder up") << u"/a/..%2Fn.deb"_s << fallback;
        QTest::newRow("hidden") << u"/a/.n.deb"_s << fallback;
    }

    void fileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(UpdateDownload::fileNameFor(QUrl(u"https://example.org"_s + path)), name);
    }

    // What earlier runs left: an empty folder goes, at this run's first
    // check or its first download; one with a file stays, and so do one just
    // made (another client may be filling it), a folder of another program
    // and a link that only carries the name.
    void emptyFoldersOfEarlierRunsGo_data()
    {
        QTest::addColumn<bool>("byCheck");
        QTest::newRow("first check") << true;
        QTest::newRow("first download") << false;
    }

    void emptyFoldersOfEarlierRunsGo()
    {
        QFETCH(bool, byCheck);
        QDir temp(QDir::tempPath());
        const QString prefix = QString::fromLatin1(OtaUpdateStore::folderPrefix);
        const QStringList made {prefix + u"oldempty"_s, prefix + u"oldfull"_s, prefix + u"fresh"_s, u"other-old"_s};
        const auto removeMade = qScopeGuard([&temp, &made, &prefix] {
            temp.remove(prefix + u"link"_s);
            for (const QString &name : made)
                QDir(temp.filePath(name)).removeRecursively();
        });
        for (const QString &name : made)
            QVERIFY(temp.mkpath(name));
        QVERIFY(QFile::link(temp.filePath(u"other-old"_s), temp.filePath(prefix + u"link"_s)));
        QFile kept(temp.filePath(prefix + u"oldfull/n.AppImage"_s));
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.close();
        const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
        for (const QString &name : {prefix + u"oldempty"_s, prefix + u"oldfull"_s, u"other-old"_s}) {
            std::error_code error;
            std::filesystem::last_write_time(QFile::encodeName(temp.filePath(name)).toStdString(), old, error);
            QVERIFY(!error);
        }

        if (byCheck) {
            m_server->on(u"GET"_s, OtaService::manifestPath(), FakeResponse {200, R"({"versionCode":1,"url":"u"})"});
            QSignalSpy checked(m_store.get(), &OtaUpdateStore::checkFinished);
            m_store->checkUpdates(true);
            QTRY_COMPARE(checked.size(), 1);
        } else {
            m_server->on(u"GET"_s, u"/n.AppImage"_s, FakeResponse {200, "abc", "application/octet-stream"});
            offer(u"/n.AppImage"_s);
            download();
            QVERIFY(QFile::exists(QDir(m_store->downloadFolder()).filePath(u"n.AppImage"_s)));
        }
        QVERIFY(!temp.exists(prefix + u"oldempty"_s));
        QVERIFY(temp.exists(prefix + u"oldfull/n.AppImage"_s));
        QVERIFY(temp.exists(prefix + u"fresh"_s));
        QVERIFY(temp.exists(u"other-old"_s));
        QVERIFY(QFileInfo(temp.filePath(prefix + u"link"_s)).isSymLink());
    }

    // The run's own folder: made anew when it went meanwhile, and gone at
    // the end when no file came into it.
    void ownFolderAtTheEnd_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("file saved") << true;
        QTest::newRow("download failed") << false;
    }

    void ownFolderAtTheEnd()
    {
        QFETCH(bool, whole);
        m_server->on(u"GET"_s, u"/n.zip"_s, FakeResponse {200, "abc", "application/octet-stream"});
        offer(u"/n.zip"_s);
        download();
        const QString first = m_store->downloadFolder();
        QVERIFY(QDir(first).removeRecursively());

        m_server->on(u"GET"_s, u"/n.zip"_s, FakeResponse {whole ? 200 : 500, "abc", "application/octet-stream"});
        offer(u"/n.zip"_s);
        download();
        const QString folder = m_store->downloadFolder();
        QVERIFY(folder != first);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(m_store->errorText().isEmpty(), whole);
        m_store.reset();
        QCOMPARE(QFileInfo::exists(QDir(folder).filePath(u"n.zip"_s)), whole);
        QCOMPARE(QFileInfo(folder).isDir(), whole);
        QDir(folder).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestUpdateFailures)
#include "tst_updatefailures.moc"
