// The lyrics service stand-in at the root of the local service: every case
// the player's lookup has to handle, on the documented tracks.
#include "devserviceprocess.h"
#include "testenv.h"

#include <QJsonArray>
#include <QUrlQuery>
#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestDevServiceLyrics : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;

    QJsonObject track(const QString &id) const { return m_service->get(u"/api/v1/tracks/"_s + id).object(); }

    static QString query(const QList<QPair<QString, QString>> &items)
    {
        QUrlQuery q;
        for (const auto &[key, value] : items)
            q.addQueryItem(key, QString::fromUtf8(QUrl::toPercentEncoding(value)));
        return q.query(QUrl::FullyEncoded);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"300"_s, u"--albums"_s, u"30"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
    }

    void getAndSearchAnswerEachCase_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("getStatus");
        QTest::addColumn<bool>("synced");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<bool>("instrumental");
        QTest::addColumn<int>("searchHits");
        QTest::newRow("synced") << u"t00003"_s << 200 << true << true << false << 1;
        QTest::newRow("plain only") << u"t00004"_s << 200 << false << true << false << 1;
        QTest::newRow("instrumental") << u"t00005"_s << 200 << false << false << true << 1;
        QTest::newRow("not found") << u"t00006"_s << 404 << false << false << false << 0;
        QTest::newRow("search only") << u"t00007"_s << 404 << true << true << false << 1;
        QTest::newRow("own lyrics are not listed") << u"t00001"_s << 404 << false << false << false << 0;
    }

    void getAndSearchAnswerEachCase()
    {
        QFETCH(QString, id);
        QFETCH(int, getStatus);
        QFETCH(bool, synced);
        QFETCH(bool, plain);
        QFETCH(bool, instrumental);
        QFETCH(int, searchHits);
        const QJsonObject t = track(id);
        const QString title = t.value("title"_L1).toString();
        const QString artist = t.value("artist"_L1).toString();
        const int duration = t.value("duration_seconds"_L1).toInt();

        const auto got = m_service->get(u"/api/get?"_s
            + query(
                {{u"artist_name"_s, artist}, {u"track_name"_s, title}, {u"duration"_s, QString::number(duration)}}));
        QCOMPARE(got.status, getStatus);
        if (getStatus == 200) {
            const QJsonObject record = got.object();
            QCOMPARE(record.value("trackName"_L1).toString(), title);
            QCOMPARE(record.value("artistName"_L1).toString(), artist);
            QCOMPARE(record.value("instrumental"_L1).toBool(), instrumental);
            QCOMPARE(record.value("syncedLyrics"_L1).isString(), synced);
            QCOMPARE(record.value("plainLyrics"_L1).isString(), plain);
            QCOMPARE(record.value("duration"_L1).toDouble(), double(duration));
        } else {
            // Not a record: the client must not decode it as one.
            QVERIFY(!got.object().contains("instrumental"_L1));
        }

        const auto found
            = m_service->get(u"/api/search?"_s + query({{u"track_name"_s, title}, {u"artist_name"_s, artist}}));
        QCOMPARE(found.status, 200);
        const QJsonArray list = found.json().array();
        QCOMPARE(list.size(), searchHits);
        if (searchHits > 0) {
            const QJsonObject record = list.first().toObject();
            QCOMPARE(record.value("instrumental"_L1).toBool(), instrumental);
            QCOMPARE(record.value("syncedLyrics"_L1).isString(), synced);
            QCOMPARE(record.value("plainLyrics"_L1).isString(), plain);
        }
    }

    void searchOnlyTrackIsListedUnderAnotherDuration()
    {
        const QJsonObject t = track(u"t00007"_s);
        const auto found = m_service->get(u"/api/search?"_s
            + query({{u"track_name"_s, t.value("title"_L1).toString()},
                {u"artist_name"_s, t.value("artist"_L1).toString()}}));
        const double listed = found.json().array().first().toObject().value("duration"_L1).toDouble();
        QVERIFY(qAbs(listed - t.value("duration_seconds"_L1).toInt()) > 2);
        // Without a duration "/api/get" does not compare it.
        const auto got = m_service->get(u"/api/get?"_s
            + query({{u"artist_name"_s, t.value("artist"_L1).toString()},
                {u"track_name"_s, t.value("title"_L1).toString()}}));
        QCOMPARE(got.status, 200);
    }

    void matchingIgnoresCaseAndOuterSpaces()
    {
        const QJsonObject t = track(u"t00003"_s);
        const auto got = m_service->get(u"/api/get?"_s
            + query({{u"artist_name"_s, u"  "_s + t.value("artist"_L1).toString().toUpper()},
                {u"track_name"_s, t.value("title"_L1).toString().toLower() + u" "_s},
                {u"duration"_s, QString::number(t.value("duration_seconds"_L1).toInt() + 2)}}));
        QCOMPARE(got.status, 200);
    }

    void titleOnlySearchNeverFindsLyricsForUnknownTitles()
    {
        // The client's last resort searches by title alone; a track nobody
        // has lyrics for must come back empty there too.
        for (const QString id : {u"t00006"_s, u"t00011"_s}) {
            const auto found = m_service->get(
                u"/api/search?"_s + query({{u"track_name"_s, track(id).value("title"_L1).toString()}}));
            QCOMPARE(found.status, 200);
            QCOMPARE(found.json().array().size(), 0);
        }
        const auto known = m_service->get(
            u"/api/search?"_s + query({{u"track_name"_s, track(u"t00003"_s).value("title"_L1).toString()}}));
        QVERIFY(!known.json().array().isEmpty());
    }

    void missingParametersAreRefused()
    {
        QCOMPARE(m_service->get(u"/api/get?track_name=x"_s).status, 400);
        QCOMPARE(m_service->get(u"/api/search"_s).status, 400);
    }
};

QTEST_GUILESS_MAIN(TestDevServiceLyrics)
#include "tst_devservicelyrics.moc"
