// The local service's catalogue side: paging, records, search, media ranges
// and the lyrics service stand-in.
#include "devserviceprocess.h"
#include "testenv.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestDevServiceCatalog : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;

    QJsonObject track(const QString &id) const { return m_service->get(u"/api/v1/tracks/"_s + id).object(); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
    }

    void pagingReportsTotalsAndPages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("firstId");
        QTest::addColumn<int>("pages");
        QTest::newRow("first") << 1 << 50 << 50 << u"t00001"_s << 120;
        QTest::newRow("second") << 2 << 50 << 50 << u"t00051"_s << 120;
        QTest::newRow("last, partial") << 858 << 7 << 1 << u"t06000"_s << 858;
        QTest::newRow("past the end") << 859 << 7 << 0 << QString() << 858;
        QTest::newRow("whole catalogue") << 1 << 1000 << 1000 << u"t00001"_s << 6;
    }

    void pagingReportsTotalsAndPages()
    {
        QFETCH(int, page);
        QFETCH(int, size);
        const auto reply = m_service->get(u"/api/v1/tracks?brief=true&page=%1&size=%2"_s.arg(page).arg(size));
        QCOMPARE(reply.status, 200);
        const QJsonObject body = reply.object();
        QCOMPARE(body.value("total"_L1).toInt(), 6000);
        QCOMPARE(body.value("page"_L1).toInt(), page);
        QCOMPARE(body.value("size"_L1).toInt(), size);
        QTEST(body.value("pages"_L1).toInt(), "pages");
        const QJsonArray items = body.value("items"_L1).toArray();
        QTEST(int(items.size()), "items");
        if (!items.isEmpty())
            QTEST(items.first().toObject().value("id"_L1).toString(), "firstId");
    }

    void briefLeavesOutLyricsOnly()
    {
        const QJsonArray brief
            = m_service->get(u"/api/v1/tracks?page=1&size=40&brief=true"_s).object().value("items"_L1).toArray();
        const QJsonArray full
            = m_service->get(u"/api/v1/tracks?page=1&size=40&brief=false"_s).object().value("items"_L1).toArray();
        QCOMPARE(brief.size(), 40);
        QCOMPARE(full.size(), 40);
        for (int i = 0; i < 40; ++i) {
            QJsonObject withoutLyrics = full.at(i).toObject();
            QVERIFY(withoutLyrics.contains("lyrics"_L1));
            withoutLyrics.remove("lyrics"_L1);
            QCOMPARE(brief.at(i).toObject(), withoutLyrics);
        }
    }

    void badPagingAnswersInValidationForm_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("field");
        QTest::newRow("size 0") << u"page=1&size=0"_s << u"size"_s;
        QTest::newRow("size above 1000") << u"page=1&size=1001"_s << u"size"_s;
        QTest::newRow("page 0") << u"page=0&size=10"_s << u"page"_s;
        QTest::newRow("page not a number") << u"page=x&size=10"_s << u"page"_s;
        QTest::newRow("brief not a flag") << u"brief=maybe"_s << u"brief"_s;
    }

    void badPagingAnswersInValidationForm()
    {
        QFETCH(QString, query);
        const auto reply = m_service->get(u"/api/v1/tracks?"_s + query);
        QCOMPARE(reply.status, 422);
        const QJsonArray detail = reply.object().value("detail"_L1).toArray();
        QCOMPARE(detail.size(), 1);
        const QJsonObject issue = detail.first().toObject();
        QFETCH(QString, field);
        QCOMPARE(issue.value("loc"_L1).toArray(), (QJsonArray {u"query"_s, field}));
        QVERIFY(!issue.value("msg"_L1).toString().isEmpty());
        QVERIFY(!issue.value("type"_L1).toString().isEmpty());
    }

    void fixtureTracksKeepTheirDocumentedProperties_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QString>("extension");
        QTest::newRow("t00001") << u"t00001"_s << 8 << u".wav"_s;
        QTest::newRow("t00002") << u"t00002"_s << 6 << u".flac"_s;
        QTest::newRow("t00003") << u"t00003"_s << 12 << u".wav"_s;
        QTest::newRow("t00004") << u"t00004"_s << 15 << u".flac"_s;
        QTest::newRow("t00005") << u"t00005"_s << 10 << u".wav"_s;
        QTest::newRow("t00006") << u"t00006"_s << 14 << u".wav"_s;
        QTest::newRow("t00007") << u"t00007"_s << 11 << u".wav"_s;
        QTest::newRow("t00008") << u"t00008"_s << 185 << u".flac"_s;
    }

    void fixtureTracksKeepTheirDocumentedProperties()
    {
        QFETCH(QString, id);
        const QJsonObject t = track(id);
        QCOMPARE(t.value("id"_L1).toString(), id);
        QTEST(t.value("duration_seconds"_L1).toInt(), "duration");
        QFETCH(QString, extension);
        QCOMPARE(t.value("file_url"_L1).toString(), u"media/tracks/"_s + id + extension);
        QVERIFY(t.value("is_favorite"_L1).isBool());
    }

    void ownLyricsAreLrcOrPlain()
    {
        static const QRegularExpression stamp(uR"(^\[(\d{2}):(\d{2})\.(\d{2})\])"_s);
        for (const QString id : {u"t00001"_s, u"t00008"_s}) {
            const QJsonObject t = track(id);
            const QStringList rows = t.value("lyrics"_L1).toString().split(QLatin1Char('\n'));
            QVERIFY(rows.size() >= 6);
            for (const QString &row : rows) {
                const auto m = stamp.match(row);
                QVERIFY2(m.hasMatch(), qPrintable(row));
                // Every stamp must fall inside the track, short ones included.
                const double at = m.captured(1).toInt() * 60 + m.captured(2).toInt() + m.captured(3).toInt() / 100.0;
                QVERIFY2(at < t.value("duration_seconds"_L1).toInt(), qPrintable(id + u" "_s + row));
            }
        }
        const QString plain = track(u"t00002"_s).value("lyrics"_L1).toString();
        QVERIFY(!plain.isEmpty());
        QVERIFY(!plain.contains(QLatin1Char('[')));
        QVERIFY(track(u"t00003"_s).value("lyrics"_L1).isNull());
    }

    void optionalFieldsAreNullWhereDocumented()
    {
        const QJsonObject single = track(u"t00001"_s);
        QVERIFY(single.value("album_id"_L1).isNull());
        QVERIFY(single.value("track_number"_L1).isNull());
        QCOMPARE(single.value("cover_url"_L1).toString(), u"media/covers/t00001.png"_s);
        const QJsonObject albumTrack = track(u"t00002"_s);
        QCOMPARE(albumTrack.value("album_id"_L1).toString(), u"a0001"_s);
        QCOMPARE(albumTrack.value("track_number"_L1).toInt(), 1);
        QCOMPARE(albumTrack.value("cover_url"_L1).toString(), u"media/covers/a0001.png"_s);
        QVERIFY(track(u"t00010"_s).value("cover_url"_L1).isNull());
        QVERIFY(track(u"t00011"_s).value("created_at"_L1).isNull());
        QVERIFY(QRegularExpression(uR"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)"_s)
                    .match(track(u"t00012"_s).value("created_at"_L1).toString())
                    .hasMatch());
        QVERIFY(QRegularExpression(uR"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}\+03:00$)"_s)
                    .match(track(u"t00013"_s).value("created_at"_L1).toString())
                    .hasMatch());
    }

    void unknownIdsAnswer404WithDetail()
    {
        for (const QString path : {u"/api/v1/tracks/t99999"_s, u"/api/v1/tracks/t1"_s, u"/api/v1/albums/a9999/tracks"_s,
                 u"/api/v1/nothing"_s}) {
            const auto reply = m_service->get(path);
            QCOMPARE(reply.status, 404);
            QVERIFY(reply.object().value("detail"_L1).isString());
        }
    }

    void catalogueExercisesTheCreditForms()
    {
        QStringList credits;
        QStringList titles;
        QStringList ids;
        for (int page = 1; page <= 6; ++page) {
            const QJsonArray items = m_service->get(u"/api/v1/tracks?brief=true&size=1000&page=%1"_s.arg(page))
                                         .object()
                                         .value("items"_L1)
                                         .toArray();
            for (const QJsonValue &item : items) {
                ids.append(item.toObject().value("id"_L1).toString());
                credits.append(item.toObject().value("artist"_L1).toString());
                titles.append(item.toObject().value("title"_L1).toString());
            }
        }
        QCOMPARE(credits.size(), 6000);
        const QString all = credits.join(QLatin1Char('\n'));
        for (const QString form : {u" feat. "_s, u" ft. "_s, u" ft "_s, u" featuring "_s, u" FEAT. "_s, u" & "_s,
                 u", "_s, u" x "_s, u" и "_s, u" / "_s, u" + "_s, u" × "_s, u"; "_s, u" (feat. "_s, u"Сахар"_s,
                 u"Caxap"_s, u"Мокко"_s, u"Mokko"_s, u"Dusk/Dawn"_s, u"Volt+Age"_s})
            QVERIFY2(all.contains(form), qPrintable(form));
        const QString allTitles = titles.join(QLatin1Char('\n'));
        QVERIFY(allTitles.contains(u" (feat. "_s));
        QVERIFY(allTitles.contains(u" feat. "_s));
        QVERIFY(allTitles.contains(u" (ft. "_s));
        // Pages neither repeat nor skip a track.
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 6000);
        QCOMPARE(ids.last(), u"t06000"_s);
    }

    void searchMatchesTitlesAndArtistsCaseInsensitively()
    {
        const QJsonObject found = m_service->get(u"/api/v1/search?q=mOkKo"_s).object();
        const QJsonArray tracks = found.value("tracks"_L1).toArray();
        QVERIFY(!tracks.isEmpty());
        QVERIFY(tracks.size() <= 50);
        for (const QJsonValue &t : tracks) {
            const QJsonObject o = t.toObject();
            QVERIFY(o.value("artist"_L1).toString().contains(u"mokko"_s, Qt::CaseInsensitive)
                || o.value("title"_L1).toString().contains(u"mokko"_s, Qt::CaseInsensitive));
        }
        QVERIFY(found.value("albums"_L1).isArray());
        const QJsonObject empty = m_service->get(u"/api/v1/search?q="_s).object();
        QCOMPARE(empty.value("tracks"_L1).toArray().size(), 0);
        QCOMPARE(empty.value("albums"_L1).toArray().size(), 0);
        QCOMPARE(m_service->get(u"/api/v1/search"_s).status, 422);
    }

    void albumsListTheirTracksInOrder()
    {
        const QJsonArray albums = m_service->get(u"/api/v1/albums"_s).json().array();
        QCOMPARE(albums.size(), 600);
        QCOMPARE(albums.first().toObject().value("id"_L1).toString(), u"a0001"_s);
        const QJsonArray tracks = m_service->get(u"/api/v1/albums/a0001/tracks"_s).json().array();
        QVERIFY(tracks.size() >= 2);
        for (int i = 0; i < tracks.size(); ++i) {
            QCOMPARE(tracks.at(i).toObject().value("album_id"_L1).toString(), u"a0001"_s);
            QCOMPARE(tracks.at(i).toObject().value("track_number"_L1).toInt(), i + 1);
        }
    }

    void clipsAndBattlesArePagedByKind()
    {
        const QJsonObject clips = m_service->get(u"/api/v1/clips?kind=clip&page=1&size=10"_s).object();
        QCOMPARE(clips.value("total"_L1).toInt(), 36);
        QCOMPARE(clips.value("pages"_L1).toInt(), 4);
        const QJsonObject first = clips.value("items"_L1).toArray().first().toObject();
        QCOMPARE(first.value("kind"_L1).toString(), u"clip"_s);
        QCOMPARE(
            first.value("file_url"_L1).toString(), u"media/clips/"_s + first.value("id"_L1).toString() + u".mp4"_s);
        const QJsonObject battles = m_service->get(u"/api/v1/battles?page=3&size=10"_s).object();
        QCOMPARE(battles.value("total"_L1).toInt(), 24);
        QCOMPARE(battles.value("items"_L1).toArray().size(), 4);
        QCOMPARE(battles.value("items"_L1).toArray().first().toObject().value("kind"_L1).toString(), u"battle"_s);
        const QJsonArray names
            = m_service->get(u"/api/v1/catalog/featured-artist-names"_s).object().value("names"_L1).toArray();
        QVERIFY(names.contains(u"Мокко"_s));
    }

    void mediaAnswersRanges()
    {
        const auto whole = m_service->get(u"/media/tracks/t00001.wav"_s);
        QCOMPARE(whole.status, 200);
        QCOMPARE(whole.headers.value("content-type"), "audio/wav");
        QCOMPARE(whole.headers.value("content-length").toLongLong(), whole.body.size());
        QVERIFY(whole.body.startsWith("RIFF"));
        const qsizetype size = whole.body.size();

        const auto part = m_service->call("GET", u"/media/tracks/t00001.wav"_s, {}, {}, {{"Range", "bytes=100-199"}});
        QCOMPARE(part.status, 206);
        QCOMPARE(part.headers.value("content-range"), QByteArray("bytes 100-199/") + QByteArray::number(size));
        QCOMPARE(part.body, whole.body.mid(100, 100));

        const auto tail = m_service->call("GET", u"/media/tracks/t00001.wav"_s, {}, {}, {{"Range", "bytes=-10"}});
        QCOMPARE(tail.status, 206);
        QCOMPARE(tail.body, whole.body.right(10));

        const auto overlong
            = m_service->call("GET", u"/media/tracks/t00001.wav"_s, {}, {}, {{"Range", "bytes=10-999999999"}});
        QCOMPARE(overlong.status, 206);
        QCOMPARE(overlong.body, whole.body.mid(10));

        const auto past
            = m_service->call("GET", u"/media/tracks/t00001.wav"_s, {}, {}, {{"Range", "bytes=999999999-"}});
        QCOMPARE(past.status, 416);
        QCOMPARE(past.headers.value("content-range"), QByteArray("bytes */") + QByteArray::number(size));
    }

    void mediaServesOnlyWhatRecordsPointAt()
    {
        QCOMPARE(m_service->get(u"/media/tracks/t00002.flac"_s).headers.value("content-type"), "audio/flac");
        const auto cover = m_service->get(u"/media/covers/a0001.png"_s);
        QCOMPARE(cover.status, 200);
        QCOMPARE(cover.headers.value("content-type"), "image/png");
        QVERIFY(cover.body.startsWith("\x89PNG"));
        QCOMPARE(m_service->get(u"/media/tracks/t00001.flac"_s).status, 404);
        QCOMPARE(m_service->get(u"/media/tracks/t99999.wav"_s).status, 404);
        QCOMPARE(m_service->get(u"/media/covers/t00002.png"_s).status, 404); // album track: album cover
        QCOMPARE(m_service->get(u"/media/covers/t00010.png"_s).status, 404); // no cover at all
    }
};

QTEST_GUILESS_MAIN(TestDevServiceCatalog)
#include "tst_devservicecatalog.moc"
