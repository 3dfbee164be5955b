// The local service's update manifest and package under each of its
// command-line options.
#include "devserviceprocess.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestUpdateRoutes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void manifestAndPackage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<qint64>("versionCode");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("hasLength");
        QTest::addColumn<int>("bodySize");
        const int size = 2 * 1024 * 1024;
        QTest::newRow("nothing newer") << QStringList() << qint64(0) << 200 << true << size;
        QTest::newRow("newer") << QStringList {u"--update-offer"_s} << qint64(1000000) << 200 << true << size;
        QTest::newRow("no length") << QStringList {u"--update-no-length"_s} << qint64(0) << 200 << false << size;
        QTest::newRow("missing") << QStringList {u"--update-status"_s, u"404"_s} << qint64(0) << 404 << true << -1;
        QTest::newRow("cut short") << QStringList {u"--update-cut"_s} << qint64(0) << 200 << true << size / 2;
    }

    void manifestAndPackage()
    {
        QFETCH(QStringList, options);
        QFETCH(qint64, versionCode);
        QFETCH(int, status);
        QFETCH(bool, hasLength);
        QFETCH(int, bodySize);
        DevServiceProcess service(QStringList {u"--tracks"_s, u"20"_s, u"--albums"_s, u"2"_s} + options);
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));

        const QJsonObject manifest = service.get(u"/updates/pc/linux/linux-update.json"_s).object();
        QCOMPARE(manifest.value(u"versionCode"_s).toInteger(), versionCode);
        const QUrl package(manifest.value(u"downloadUrl"_s).toString());
        QCOMPARE(package.path(), u"/updates/pc/linux/Nimbras-Setup.AppImage"_s);
        QCOMPARE(package.port(), service.baseUrl().port());
        // The other system's manifest names its own image.
        QVERIFY(service.get(u"/updates/pc/mac/mac-update.json"_s).object().value(u"dmgUrl"_s).toString().endsWith(
            u"/Nimbras-Setup.dmg"_s));

        const DevServiceReply reply = service.get(package.path());
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.headers.contains("content-length"), hasLength);
        if (status == 200) {
            QCOMPARE(reply.body.size(), bodySize);
            QVERIFY(reply.body.startsWith("NIMBRA-UPDATE-PACKAGE\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestUpdateRoutes)
#include "tst_updateroutes.moc"
