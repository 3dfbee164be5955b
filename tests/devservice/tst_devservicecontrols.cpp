// The local service as a process and its test controls: start-up, address
// file, clean stop, the request log and injected faults.
#include "devserviceprocess.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestDevServiceControls : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"120"_s, u"--albums"_s, u"12"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
    }

    void init()
    {
        m_service->clearFaults();
        m_service->clearRequests();
    }

    void writesAddressFileAndStopsCleanly()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"address"_s);
        DevServiceProcess service({u"--address-file"_s, file, u"--tracks"_s, u"100000"_s, u"--albums"_s, u"5000"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        QFile address(file);
        QVERIFY(address.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(address.readAll()), service.baseUrl().toString());
        const QJsonObject probe = service.get(u"/api/v1/tracks?brief=true&page=100000&size=1"_s).object();
        QCOMPARE(probe.value("total"_L1).toInt(), 100000);
        QCOMPARE(probe.value("items"_L1).toArray().first().toObject().value("id"_L1).toString(), u"t100000"_s);
        QCOMPARE(service.get(u"/api/v1/albums"_s).json().array().size(), 5000);
        QCOMPARE(service.stop(), 0);
    }

    void refusesBadArguments()
    {
        for (const QStringList &arguments :
            {QStringList {u"--tracks"_s, u"many"_s}, QStringList {u"--confirm-qr"_s, u"x"_s}}) {
            DevServiceProcess service(arguments);
            QVERIFY(!service.isRunning());
            QVERIFY(!service.startError().isEmpty());
        }
    }

    void logsEveryRequestButItsOwnControls()
    {
        const QString token = m_service->signIn();
        m_service->clearRequests();
        m_service->call("GET", u"/api/v1/tracks?size=5&page=2&brief=true"_s, {}, token, {{"X-Probe", "1"}});
        m_service->call("POST", u"/api/v1/favorites"_s, R"({"track_id":"t00002"})", token);
        m_service->call("DELETE", u"/api/v1/favorites/t00002"_s, {}, token);
        m_service->get(u"/media/covers/a0001.png"_s);
        m_service->get(u"/no/such/path"_s);
        m_service->injectFault({{"path"_L1, u"/never"_s}});

        const QList<RecordedRequest> log = m_service->requests();
        QCOMPARE(log.size(), 5);
        QCOMPARE(log.at(0).method, u"GET"_s);
        // The target is kept as sent, query order included.
        QCOMPARE(log.at(0).target, u"/api/v1/tracks?size=5&page=2&brief=true"_s);
        QCOMPARE(log.at(0).header(u"X-Probe"_s), u"1"_s);
        QCOMPARE(log.at(0).header(u"authorization"_s), u"Bearer "_s + token);
        QVERIFY(!log.at(0).hasHeader(u"remote_addr"_s));
        QVERIFY(log.at(0).body.isEmpty());
        QCOMPARE(log.at(1).method, u"POST"_s);
        QCOMPARE(log.at(1).body, QByteArray(R"({"track_id":"t00002"})"));
        QCOMPARE(log.at(1).header(u"content-type"_s), u"application/json"_s);
        QCOMPARE(log.at(2).method, u"DELETE"_s);
        QCOMPARE(log.at(3).path, u"/media/covers/a0001.png"_s);
        QCOMPARE(log.at(4).path, u"/no/such/path"_s);

        m_service->clearRequests();
        QCOMPARE(m_service->requests().size(), 0);
    }

    void faultReplacesTheAnswerForItsCount()
    {
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/tracks"_s}, {"status"_L1, 503},
            {"body"_L1, u"{\"detail\":\"Сервис недоступен\"}"_s}, {"count"_L1, 2}}));
        for (int i = 0; i < 2; ++i) {
            const auto faulted = m_service->get(u"/api/v1/tracks?page=1&size=1"_s);
            QCOMPARE(faulted.status, 503);
            QCOMPARE(faulted.object().value("detail"_L1).toString(), u"Сервис недоступен"_s);
        }
        QCOMPARE(m_service->get(u"/api/v1/tracks?page=1&size=1"_s).status, 200);
        // A faulted request is still logged.
        QCOMPARE(m_service->requests().size(), 3);
    }

    void faultMatchesMethodAndPathOnly()
    {
        QVERIFY(
            m_service->injectFault({{"path"_L1, u"/api/v1/tracks"_s}, {"method"_L1, u"post"_s}, {"status"_L1, 500}}));
        QCOMPARE(m_service->get(u"/api/v1/tracks"_s).status, 200);
        QCOMPARE(m_service->get(u"/api/v1/tracks/t00001"_s).status, 200);
        QCOMPARE(m_service->call("POST", u"/api/v1/tracks"_s).status, 500);
        m_service->clearFaults();
        QCOMPARE(m_service->call("POST", u"/api/v1/tracks"_s).status, 405);
    }

    void faultWithStarMatchesAPrefix()
    {
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/albums/*"_s}, {"status"_L1, 418}}));
        const auto faulted = m_service->get(u"/api/v1/albums/a0001/tracks"_s);
        QCOMPARE(faulted.status, 418);
        QCOMPARE(faulted.object(), (QJsonObject {{"detail"_L1, u"Injected fault"_s}}));
        QCOMPARE(m_service->get(u"/api/v1/albums"_s).status, 200);
    }

    void delayOnlyDelaysTheRealAnswer()
    {
        QVERIFY(
            m_service->injectFault({{"path"_L1, u"/api/v1/tracks/t00001"_s}, {"delay_ms"_L1, 400}, {"count"_L1, 1}}));
        QElapsedTimer timer;
        timer.start();
        const auto delayed = m_service->get(u"/api/v1/tracks/t00001"_s);
        QVERIFY(timer.elapsed() >= 400);
        QCOMPARE(delayed.status, 200);
        QCOMPARE(delayed.object().value("id"_L1).toString(), u"t00001"_s);
    }

    void dropClosesTheConnectionMidAnswer()
    {
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/albums"_s}, {"drop"_L1, true}, {"count"_L1, 1}}));
        const auto dropped = m_service->get(u"/api/v1/albums"_s);
        QVERIFY(dropped.networkError);
        QCOMPARE(m_service->get(u"/api/v1/albums"_s).status, 200);
    }

    void unusableFaultsAreRefused()
    {
        QVERIFY(!m_service->injectFault({{"status"_L1, 500}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"api/v1/tracks"_s}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"/x"_s}, {"status"_L1, 42}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"/x"_s}, {"count"_L1, 0}}));
        QCOMPARE(m_service->get(u"/api/v1/tracks?size=1"_s).status, 200);
    }
};

QTEST_GUILESS_MAIN(TestDevServiceControls)
#include "tst_devservicecontrols.moc"
