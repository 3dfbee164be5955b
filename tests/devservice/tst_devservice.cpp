// What the local service does beyond the typed client's end-to-end tests:
// start-up, ranges, the lyrics service stand-in, its fault controls (held
// answers included) and the QR confirmation helper.
#include "artists/artistcataloglogic.h"

#include "devserviceprocess.h"
#include "testenv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestDevService : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;

    QJsonObject track(const QString &id) const { return m_service->get(u"/api/v1/tracks/"_s + id).object(); }

    DevServiceReply lyrics(const QString &endpoint, const QList<QPair<QString, QString>> &items) const
    {
        QUrlQuery query;
        for (const auto &[key, value] : items)
            query.addQueryItem(key, QString::fromUtf8(QUrl::toPercentEncoding(value)));
        return m_service->get(u"/api/"_s + endpoint + u"?"_s + query.query(QUrl::FullyEncoded));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"300"_s, u"--albums"_s, u"30"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
    }

    void init()
    {
        m_service->clearFaults();
        m_service->clearRequests();
    }

    void startsWritesItsAddressAndStops()
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
        QCOMPARE(service.stop(), 0);

        for (const QStringList &arguments : {QStringList {u"--tracks"_s, u"many"_s}, {u"--confirm-qr"_s, u"x"_s}}) {
            DevServiceProcess refused(arguments);
            QVERIFY(!refused.isRunning());
        }
    }

    void mediaAnswersRanges()
    {
        const QString path = u"/media/tracks/t00001.wav"_s;
        const auto whole = m_service->get(path);
        QCOMPARE(whole.status, 200);
        QCOMPARE(whole.headers.value("content-length").toLongLong(), whole.body.size());
        const QByteArray size = QByteArray::number(whole.body.size());
        const auto range = [&](const QByteArray &value) {
            return m_service->call("GET", path, {}, {}, {{"Range", value}});
        };

        const auto part = range("bytes=100-199");
        QCOMPARE(part.status, 206);
        QCOMPARE(part.headers.value("content-range"), "bytes 100-199/" + size);
        QCOMPARE(part.body, whole.body.mid(100, 100));
        QCOMPARE(range("bytes=-10").body, whole.body.right(10));
        QCOMPARE(range("bytes=10-999999999").body, whole.body.mid(10));
        const auto past = range("bytes=999999999-");
        QCOMPARE(past.status, 416);
        QCOMPARE(past.headers.value("content-range"), "bytes */" + size);

        // Players read their streams at playback speed, and each holds its
        // connection meanwhile: more of them than the machine has cores
        // must not hold up the next request.
        std::vector<std::unique_ptr<QTcpSocket>> streams;
        for (int i = 0; i < 12; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->setReadBufferSize(1);
            socket->connectToHost(m_service->baseUrl().host(), quint16(m_service->baseUrl().port()));
            QVERIFY(socket->waitForConnected(kEventLimitMs));
            socket->write("GET /media/tracks/t00009.wav HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            QVERIFY(socket->waitForBytesWritten(kEventLimitMs));
            streams.push_back(std::move(socket));
        }
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> next(network.get(QNetworkRequest(m_service->baseUrl().resolved(QUrl(path)))));
        QTRY_VERIFY(next->isFinished());
        QCOMPARE(next->readAll(), whole.body);
    }

    void lyricsServiceAnswersEachCase_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("getStatus");
        QTest::addColumn<bool>("synced");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<bool>("instrumental");
        QTest::addColumn<int>("searchHits");
        QTest::newRow("synced") << u"t00003"_s << 200 << true << true << false << 1;
        QTest::newRow("instrumental") << u"t00005"_s << 200 << false << false << true << 1;
        QTest::newRow("not found") << u"t00006"_s << 404 << false << false << false << 0;
        QTest::newRow("search only") << u"t00007"_s << 404 << true << true << false << 1;
        QTest::newRow("own lyrics are not listed") << u"t00001"_s << 404 << false << false << false << 0;
    }

    void lyricsServiceAnswersEachCase()
    {
        QFETCH(QString, id);
        QFETCH(int, getStatus);
        QFETCH(int, searchHits);
        const QJsonObject t = track(id);
        const QString title = t.value("title"_L1).toString();
        const QString artist = t.value("artist"_L1).toString();
        const QString duration = QString::number(t.value("duration_seconds"_L1).toInt());

        const auto got
            = lyrics(u"get"_s, {{u"artist_name"_s, artist}, {u"track_name"_s, title}, {u"duration"_s, duration}});
        QCOMPARE(got.status, getStatus);
        const auto found = lyrics(u"search"_s, {{u"track_name"_s, title}, {u"artist_name"_s, artist}});
        QCOMPARE(found.status, 200);
        QCOMPARE(found.json().array().size(), searchHits);
        QList<QJsonObject> records;
        if (getStatus == 200)
            records.append(got.object());
        else
            QVERIFY(!got.object().contains("instrumental"_L1)); // not a record
        if (searchHits > 0)
            records.append(found.json().array().first().toObject());
        for (const QJsonObject &record : records) {
            QTEST(record.value("instrumental"_L1).toBool(), "instrumental");
            QTEST(record.value("syncedLyrics"_L1).isString(), "synced");
            QTEST(record.value("plainLyrics"_L1).isString(), "plain");
        }
    }

    void lyricsMatching()
    {
        // The search-only track is listed under another duration, which the
        // exact lookup compares only when asked with one.
        const QJsonObject searchOnly = track(u"t00007"_s);
        const QString title = searchOnly.value("title"_L1).toString();
        const QString artist = searchOnly.value("artist"_L1).toString();
        const auto listed = lyrics(u"search"_s, {{u"track_name"_s, title}, {u"artist_name"_s, artist}});
        QVERIFY(qAbs(listed.json().array().first().toObject().value("duration"_L1).toDouble()
                    - searchOnly.value("duration_seconds"_L1).toInt())
            > 2);
        QCOMPARE(lyrics(u"get"_s, {{u"artist_name"_s, artist}, {u"track_name"_s, title}}).status, 200);

        // Case and outer blanks do not matter; two seconds of difference neither.
        const QJsonObject synced = track(u"t00003"_s);
        QCOMPARE(lyrics(u"get"_s,
                     {{u"artist_name"_s, u"  "_s + synced.value("artist"_L1).toString().toUpper()},
                         {u"track_name"_s, synced.value("title"_L1).toString().toLower() + u" "_s},
                         {u"duration"_s, QString::number(synced.value("duration_seconds"_L1).toInt() + 2)}})
                     .status,
            200);
        // The title-only search finds nothing for a track nobody has lyrics for.
        const auto titleOnly = [&](const QString &id) {
            return lyrics(u"search"_s, {{u"track_name"_s, track(id).value("title"_L1).toString()}}).json().array();
        };
        QVERIFY(titleOnly(u"t00006"_s).isEmpty());
        QVERIFY(!titleOnly(u"t00003"_s).isEmpty());
        QCOMPARE(m_service->get(u"/api/get?track_name=x"_s).status, 400);
        QCOMPARE(m_service->get(u"/api/search"_s).status, 400);
    }

    void faultControls()
    {
        // Method and path must both match; a trailing "*" matches a prefix.
        QVERIFY(m_service->injectFault(
            {{"path"_L1, u"/api/v1/tracks"_s}, {"method"_L1, u"post"_s}, {"status"_L1, 500}, {"count"_L1, 2}}));
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/albums/*"_s}, {"status"_L1, 418}}));
        QCOMPARE(m_service->get(u"/api/v1/tracks"_s).status, 200);
        QCOMPARE(m_service->call("POST", u"/api/v1/tracks"_s).status, 500);
        QCOMPARE(m_service->call("POST", u"/api/v1/tracks"_s).status, 500);
        QCOMPARE(m_service->call("POST", u"/api/v1/tracks"_s).status, 405); // used up
        const auto prefixed = m_service->get(u"/api/v1/albums/a0001/tracks"_s);
        QCOMPARE(prefixed.status, 418);
        QCOMPARE(prefixed.object(), (QJsonObject {{"detail"_L1, u"Injected fault"_s}}));
        QCOMPARE(m_service->get(u"/api/v1/albums"_s).status, 200);
        m_service->clearFaults();
        QCOMPARE(m_service->get(u"/api/v1/albums/a0001/tracks"_s).status, 200);

        QVERIFY(!m_service->injectFault({{"status"_L1, 500}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"api/v1/tracks"_s}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"/x"_s}, {"status"_L1, 42}}));
        QVERIFY(!m_service->injectFault({{"path"_L1, u"/x"_s}, {"count"_L1, 0}}));

        // Faulted requests are logged; the controls themselves are not.
        const QList<RecordedRequest> log = m_service->requests();
        QCOMPARE(log.size(), 7);
        QCOMPARE(log.at(1).method, u"POST"_s);

        // A held answer is logged and waits for the release, after which
        // the fault holds no more.
        m_service->clearRequests();
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/albums"_s}, {"hold"_L1, true}, {"status"_L1, 503}}));
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> held(
            network.get(QNetworkRequest(m_service->baseUrl().resolved(u"/api/v1/albums"_s))));
        QSignalSpy answered(held.get(), &QNetworkReply::finished);
        QTRY_COMPARE(m_service->requests().size(), 1);
        QVERIFY(!held->isFinished());
        QCOMPARE(m_service->releaseHeld(), 1);
        QTRY_COMPARE(answered.size(), 1);
        QCOMPARE(held->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 503);
        QCOMPARE(m_service->get(u"/api/v1/albums"_s).status, 503);
        QCOMPARE(m_service->releaseHeld(), 0);
    }

    // No generated credit names a performer twice, under any of their
    // spellings ("Космос feat. Космос", "Мокко & Mokko"): the client would
    // show one artist credited with themselves.
    void creditsNameEachPerformerOnce()
    {
        DevServiceProcess service({u"--tracks"_s, u"6000"_s, u"--albums"_s, u"600"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        QStringList credits;
        for (const QJsonValue album : service.get(u"/api/v1/albums"_s).json().array())
            credits.append(album.toObject().value("artist"_L1).toString());
        for (int page = 1; page <= 6; ++page) {
            const QJsonObject tracks
                = service.get(u"/api/v1/tracks?brief=true&size=1000&page="_s + QString::number(page)).object();
            for (const QJsonValue track : tracks.value("items"_L1).toArray())
                credits.append(track.toObject().value("artist"_L1).toString());
        }
        QCOMPARE(credits.size(), 6600);
        int several = 0;
        for (const QString &credit : std::as_const(credits)) {
            const QStringList names = nimbra::ArtistCatalogLogic::splitArtists(credit);
            QSet<QString> performers;
            for (const QString &name : names)
                performers.insert(nimbra::ArtistCatalogLogic::normKey(name));
            QVERIFY2(performers.size() == names.size(), qPrintable(credit));
            several += names.size() > 1;
        }
        QVERIFY(several > 600); // the check saw credits of several names
    }

    // The profile change checks the e-mail as the service does and answers
    // a bad one in the validation form, changing nothing.
    void profileEmailValidated_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << u"lina@example.org"_s << true;
        QTest::newRow("sub-domain and plus") << u"l.k+music@mail.example.co"_s << true;
        QTest::newRow("no at sign") << u"lina.example.org"_s << false;
        QTest::newRow("two at signs") << u"a@b@example.org"_s << false;
        QTest::newRow("no domain dot") << u"lina@localhost"_s << false;
        QTest::newRow("blank inside") << u"li na@example.org"_s << false;
        QTest::newRow("empty local part") << u"@example.org"_s << false;
        QTest::newRow("doubled dot") << u"li..na@example.org"_s << false;
        QTest::newRow("empty label") << u"lina@example..org"_s << false;
        QTest::newRow("numeric top label") << u"lina@10.0.0.1"_s << false;
        QTest::newRow("blanks around") << u" lina@example.org"_s << false;
    }

    void profileEmailValidated()
    {
        QFETCH(QString, email);
        QFETCH(bool, accepted);
        const QString token = m_service->signIn();
        const QByteArray body = QJsonDocument(QJsonObject {{u"email"_s, email}}).toJson(QJsonDocument::Compact);
        const DevServiceReply reply = m_service->call("PATCH", u"/api/v1/auth/profile"_s, body, token,
            {{"Content-Type", "application/json"}});
        const QString now = m_service->get(u"/api/v1/auth/me"_s, token).object().value("email"_L1).toString();
        if (accepted) {
            QCOMPARE(reply.status, 200);
            QCOMPARE(now, email);
            return;
        }
        QCOMPARE(reply.status, 422);
        const QJsonObject issue = reply.object().value("detail"_L1).toArray().first().toObject();
        QCOMPARE(issue.value("loc"_L1).toArray(), (QJsonArray {u"body"_s, u"email"_s}));
        QCOMPARE(issue.value("type"_L1).toString(), u"value_error"_s);
        QVERIFY(!issue.value("msg"_L1).toString().isEmpty());
        QVERIFY(now != email);
    }

    void confirmQrHelperConfirmsForDemo()
    {
        const auto runHelper = [&](const QString &qr) {
            QProcess helper;
            QSignalSpy finished(&helper, &QProcess::finished);
            helper.start(devservicePath(), {u"--confirm-qr"_s, qr, u"--service"_s, m_service->baseUrl().toString()});
            return finished.wait(10000) ? helper.exitCode() : -1;
        };
        const QString qr = m_service->call("POST", u"/api/v1/auth/qr/init"_s).object().value("qr_token"_L1).toString();
        QCOMPARE(runHelper(qr), 0);
        const QString token
            = m_service->get(u"/api/v1/auth/qr/status/"_s + qr).object().value("access_token"_L1).toString();
        QCOMPARE(m_service->get(u"/api/v1/auth/me"_s, token).object().value("username"_L1).toString(), u"demo"_s);
        QCOMPARE(runHelper(u"unknown"_s), 1);
    }
};

QTEST_GUILESS_MAIN(TestDevService)
#include "tst_devservice.moc"
