#include "api/catalogrecords.h"
#include "recordcodingcases.h"

#include <QJsonArray>
#include <QSet>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject trackJson(const QString &id)
{
    return QJsonObject {{"id"_L1, id}, {"title"_L1, u"Ночной город"_s}, {"artist"_L1, u"Лина feat. Mark"_s},
        {"duration_seconds"_L1, 215}, {"file_url"_L1, u"media/%1.flac"_s.arg(id)},
        {"cover_url"_L1, u"covers/%1.png"_s.arg(id)}, {"album_id"_L1, u"a1"_s},
        {"lyrics"_L1, u"[00:01.00]Первая строка"_s}, {"track_number"_L1, 3}, {"user_rating"_L1, u"dislike"_s},
        {"is_favorite"_L1, true}, {"created_at"_L1, u"2024-05-01T12:30:45.123Z"_s}};
}

QJsonObject albumJson(const QString &id)
{
    return QJsonObject {{"id"_L1, id}, {"title"_L1, u"Альбом"_s}, {"artist"_L1, u"Лина"_s}, {"year"_L1, 2023},
        {"cover_url"_L1, u"https://cdn.example.com/a.png"_s}, {"created_at"_L1, u"2023-11-20T08:00:00.000Z"_s}};
}

QJsonObject clipJson(const QString &id)
{
    return QJsonObject {{"id"_L1, id}, {"title"_L1, u"Клип"_s}, {"artist"_L1, u"Лина"_s}, {"duration_seconds"_L1, 190},
        {"file_url"_L1, u"clips/c.mp4"_s}, {"cover_url"_L1, u"clips/c.png"_s}, {"kind"_L1, u"clip"_s},
        {"is_favorite"_L1, false}};
}

const QStringList trackRequired {"id", "title", "artist", "duration_seconds", "file_url", "is_favorite"};
const QStringList trackOptional {"cover_url", "album_id", "lyrics", "track_number", "user_rating", "created_at"};
const QStringList albumRequired {"id", "title", "artist"};
const QStringList albumOptional {"year", "cover_url", "created_at"};
const QStringList clipRequired {"id", "title", "artist", "duration_seconds", "file_url", "kind", "is_favorite"};

QStringList under(const QString &prefix, const QStringList &keys)
{
    QStringList paths {prefix};
    for (const QString &key : keys)
        paths.append(prefix + u'.' + key);
    return paths;
}

const QList<RecordCase> &cases()
{
    static const QList<RecordCase> all {
        {u"TrackOut"_s, trackJson(u"t1"_s), trackRequired, trackOptional, viaToJson<TrackOut>()},
        {u"AlbumOut"_s, albumJson(u"a1"_s), albumRequired, albumOptional, viaToJson<AlbumOut>()},
        {u"ClipOut"_s, clipJson(u"c1"_s), clipRequired, {u"cover_url"_s}, viaToJson<ClipOut>()},
        {u"TrackPage"_s,
            QJsonObject {{"items"_L1, QJsonArray {trackJson(u"t1"_s), trackJson(u"t2"_s), trackJson(u"t3"_s)}},
                {"total"_L1, 1203}, {"page"_L1, 2}, {"size"_L1, 3}, {"pages"_L1, 401}},
            QStringList {"items", "total", "page", "size", "pages"} + under(u"items[1]"_s, trackRequired),
            under(u"items[2]"_s, trackOptional).mid(1), viaToJson<TrackPage>()},
        {u"ClipPage"_s,
            QJsonObject {{"items"_L1, QJsonArray {clipJson(u"c1"_s), clipJson(u"c2"_s)}}, {"total"_L1, 2},
                {"page"_L1, 1}, {"size"_L1, 20}, {"pages"_L1, 1}},
            QStringList {"items", "total"} + under(u"items[1]"_s, clipRequired), {u"page"_s, u"size"_s, u"pages"_s},
            viaToJson<ClipPage>()},
        {u"SearchResults"_s,
            QJsonObject {{"tracks"_L1, QJsonArray {trackJson(u"t1"_s)}},
                {"albums"_L1, QJsonArray {albumJson(u"a1"_s), albumJson(u"a2"_s)}}},
            QStringList {"tracks", "albums"} + under(u"tracks[0]"_s, trackRequired)
                + under(u"albums[1]"_s, albumRequired),
            under(u"albums[0]"_s, albumOptional).mid(1), viaToJson<SearchResults>()},
    };
    return all;
}

TrackOut sampleTrack()
{
    return decodeJson<TrackOut>(jsonBytes(trackJson(u"t1"_s)));
}

QDateTime utc(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QJsonObject trackWithDate(const QJsonValue &createdAt)
{
    QJsonObject o {{"id"_L1, u"t1"_s}, {"title"_L1, u"Т"_s}, {"artist"_L1, u"А"_s}, {"duration_seconds"_L1, 100},
        {"file_url"_L1, u"m/t1.mp3"_s}, {"is_favorite"_L1, false}};
    if (!createdAt.isUndefined())
        o.insert("created_at"_L1, createdAt);
    return o;
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

} // namespace

namespace nimbra {
// Failure messages show the whole record.
char *toString(const TrackOut &track)
{
    return qstrdup(encodeJson(track.toJson()).constData());
}
} // namespace nimbra

class TestCatalogRecords : public QObject
{
    Q_OBJECT
private slots:
    void requiredFieldFails_data() { requiredFieldRows(cases()); }
    void requiredFieldFails() { checkRequiredField(cases()); }
    void optionalFieldMayBeAbsent_data() { optionalFieldRows(cases()); }
    void optionalFieldMayBeAbsent() { checkOptionalField(cases()); }
    void roundTripIgnoringUnknownKeys_data() { recordRows(cases()); }
    void roundTripIgnoringUnknownKeys() { checkRoundTrip(cases()); }

    void integerFields_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("number"); // JSON text of the value
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<qint64>("value");

        // Every integer field goes through the same reader.
        const QString track = u"TrackOut"_s;
        const QString duration = u"duration_seconds"_s;
        QTest::newRow("digits in a string") << track << duration << QByteArray("\"180\"") << false << qint64(0);
        QTest::newRow("fraction") << track << duration << QByteArray("180.5") << false << qint64(0);
        QTest::newRow("whole number with point") << track << duration << QByteArray("180.0") << true << qint64(180);
        // Above 2^53 a double can no longer hold every integer.
        QTest::newRow("large and exact") << "TrackPage"
                                         << "total" << QByteArray("9007199254740993") << true
                                         << qint64(9007199254740993);
        QTest::newRow("beyond 64 bits") << "TrackPage"
                                        << "total" << QByteArray("1e30") << false << qint64(0);
    }

    void integerFields()
    {
        QFETCH(QString, record);
        QFETCH(QString, key);
        QFETCH(QByteArray, number);
        QFETCH(bool, accepted);
        QFETCH(qint64, value);

        const RecordCase *c = nullptr;
        for (const RecordCase &candidate : cases())
            c = candidate.name == record ? &candidate : c;
        QVERIFY(c);
        // Spliced in as text, so the number reaches the decoder exactly as written.
        QJsonObject sample = c->sample;
        sample.insert(key, u"@@"_s);
        const QByteArray body = jsonBytes(sample).replace("\"@@\"", number);

        QJsonObject written;
        const auto failure = decodingFailure([&] { written = c->decodeAndEncode(body); });
        if (!accepted) {
            QVERIFY2(failure, body.constData());
            QCOMPARE(failure->path(), key);
            QCOMPARE(int(failure->kind()), int(DecodingError::Kind::TypeMismatch));
            return;
        }
        QVERIFY2(!failure, body.constData());
        QCOMPARE(written.value(key).toInteger(), value);
        // Written back as an integer, never with a point.
        const QRegularExpression asInteger(u"\"%1\":%2[,}]"_s.arg(key).arg(value));
        QVERIFY(asInteger.match(QString::fromUtf8(encodeJson(written))).hasMatch());
    }

    void trackEqualityCoversEveryField()
    {
        const TrackOut t = sampleTrack();
        const QList<std::function<void(TrackOut &)>> changes {[](TrackOut &x) { x.id = u"t2"_s; },
            [](TrackOut &x) { x.title += u'!'; }, [](TrackOut &x) { x.artist = u"Лина"_s; },
            [](TrackOut &x) { x.durationSeconds = 216; }, [](TrackOut &x) { x.fileUrl = u"media/t1.mp3"_s; },
            [](TrackOut &x) { x.coverUrl.reset(); }, [](TrackOut &x) { x.coverUrl = QString(); },
            [](TrackOut &x) { x.albumId = u"a2"_s; }, [](TrackOut &x) { x.lyrics.reset(); },
            [](TrackOut &x) { x.trackNumber = 4; }, [](TrackOut &x) { x.userRating.reset(); },
            [](TrackOut &x) { x.isFavorite = false; }, [](TrackOut &x) { x.createdAt = x.createdAt->addMSecs(1); },
            [](TrackOut &x) { x.createdAt.reset(); }};
        for (qsizetype i = 0; i < changes.size(); ++i) {
            TrackOut changed = t;
            changes.at(i)(changed);
            QVERIFY2(changed != t, qPrintable(QString::number(i)));
            QVERIFY2(QSet<TrackOut>({t, changed}).size() == 2, qPrintable(QString::number(i)));
        }
    }

    void equalTracksHashAlike()
    {
        const TrackOut t = sampleTrack();
        TrackOut copy = t;
        // The same instant read in another zone is the same date.
        copy.createdAt = utc(u"2024-05-01T15:30:45.123+03:00"_s);
        QVERIFY(copy == t);
        QCOMPARE(qHash(copy, 7), qHash(t, 7));
        QCOMPARE(QSet<TrackOut>({t, copy}).size(), 1);
    }

    void mergingDetails_data()
    {
        QTest::addColumn<TrackOut>("receiver");
        QTest::addColumn<TrackOut>("detail");
        QTest::addColumn<TrackOut>("expected");

        TrackOut brief = sampleTrack();
        brief.lyrics.reset();
        brief.userRating.reset();
        brief.createdAt.reset();
        brief.coverUrl.reset();
        brief.isFavorite = false;

        TrackOut full = sampleTrack();
        full.title = u"Название из подробностей"_s;
        full.fileUrl = u"media/other.mp3"_s;
        full.coverUrl = u"covers/detail.png"_s;

        TrackOut expected = brief;
        expected.lyrics = full.lyrics;
        expected.userRating = full.userRating;
        expected.isFavorite = true;
        expected.createdAt = full.createdAt;
        QTest::newRow("brief completed, identity kept") << brief << full << expected;

        TrackOut withLyrics = brief;
        withLyrics.lyrics = u"свои слова"_s;
        withLyrics.userRating = u"dislike"_s;
        TrackOut bare = brief;
        bare.isFavorite = false;
        QTest::newRow("own lyrics and rating kept when the detail has none") << withLyrics << bare << withLyrics;

        TrackOut favourite = brief.withFavorite(true);
        QTest::newRow("favourite flag always from the detail") << favourite << bare << brief.withFavorite(false);

        TrackOut dated = full;
        dated.createdAt = utc(u"2020-01-01T00:00:00.000Z"_s);
        TrackOut datedExpected = dated;
        QTest::newRow("own date wins") << dated << full << datedExpected;
    }

    void mergingDetails()
    {
        QFETCH(TrackOut, receiver);
        QFETCH(TrackOut, detail);
        QFETCH(TrackOut, expected);
        QCOMPARE(receiver.mergingDetails(detail), expected);
    }

    void isHiFi()
    {
        TrackOut t = sampleTrack();
        const QList<std::pair<QString, bool>> urls {{u"media/a.flac"_s, true}, {u"media/A.FLAC?sig=1"_s, true},
            {u"https://cdn.example.com/a.flac?x=1#t=10"_s, true}, {u"media/a.Flac#part"_s, true},
            {u"media/a.fl?ac"_s, false}, {u"media/a.flac.mp3"_s, false}, {u"media/a.mp3?format=.flac"_s, false},
            {QString(), false}};
        for (const auto &[url, hiFi] : urls) {
            t.fileUrl = url;
            QVERIFY2(t.isHiFi() == hiFi, qPrintable(url));
        }
    }

    void readableShapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("instant");
        const QDateTime instant = utc(2024, 5, 1, 12, 30, 45, 123);
        QTest::newRow("fraction and Z") << u"2024-05-01T12:30:45.123Z"_s << instant;
        QTest::newRow("fraction and +03:00") << u"2024-05-01T15:30:45.123+03:00"_s << instant;
        QTest::newRow("six fraction digits") << u"2024-05-01T12:30:45.123456Z"_s << instant;
        QTest::newRow("one fraction digit: tenths") << u"2024-05-01T12:30:45.5Z"_s << utc(2024, 5, 1, 12, 30, 45, 500);
        QTest::newRow("two fraction digits: hundredths")
            << u"2024-05-01T12:30:45.05Z"_s << utc(2024, 5, 1, 12, 30, 45, 50);
        QTest::newRow("no zone, no fraction: UTC") << u"2024-05-01T12:30:45"_s << utc(2024, 5, 1, 12, 30, 45);
    }

    void readableShapes()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, instant);
        const QDateTime parsed = parseServiceDate(text);
        QCOMPARE(parsed.toMSecsSinceEpoch(), instant.toMSecsSinceEpoch());

        // The same through a record's optional date field.
        const TrackOut track = decodeJson<TrackOut>(jsonBytes(trackWithDate(text)));
        QVERIFY(track.createdAt);
        QCOMPARE(track.createdAt->toMSecsSinceEpoch(), instant.toMSecsSinceEpoch());
    }

    void unreadableTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("date alone") << u"2024-05-01"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("30 February") << u"2024-02-30T10:00:00.000Z"_s;
        QTest::newRow("blank between date and time") << u"2024-05-01 12:30:45"_s;
        QTest::newRow("line break after") << u"2024-05-01T12:30:45.123Z\n"_s;
        QTest::newRow("other digits") << u"٢٠٢٤-05-01T12:30:45"_s;
    }

    void unreadableTexts()
    {
        QFETCH(QString, text);
        const QString expected = u"Invalid date: "_s + text;

        auto failure = decodingFailure([&] { parseServiceDate(text, u"created_at"_s); });
        QVERIFY(failure);
        QCOMPARE(int(failure->kind()), int(DecodingError::Kind::DataCorrupted));
        QCOMPARE(failure->description(), expected);

        // An optional date that is present but unreadable fails the whole page.
        const QJsonObject page {{"items"_L1, QJsonArray {trackWithDate(QJsonValue()), trackWithDate(text)}},
            {"total"_L1, 2}, {"page"_L1, 1}, {"size"_L1, 2}, {"pages"_L1, 1}};
        failure = decodingFailure([&] { decodeJson<TrackPage>(jsonBytes(page)); });
        QVERIFY(failure);
        QCOMPARE(int(failure->kind()), int(DecodingError::Kind::DataCorrupted));
        QCOMPARE(failure->path(), u"items[1].created_at"_s);
        QCOMPARE(failure->description(), expected);
    }

    void writtenDatesReadBack()
    {
        // Dates leave in UTC with milliseconds, whatever zone they came in.
        const QDateTime parsed = parseServiceDate(u"2024-05-01T15:30:45.123+03:00"_s);
        QCOMPARE(formatServiceDate(parsed), u"2024-05-01T12:30:45.123Z"_s);
        QCOMPARE(parseServiceDate(formatServiceDate(parsed)), parsed);
    }
};

QTEST_GUILESS_MAIN(TestCatalogRecords)
#include "tst_catalogrecords.moc"
