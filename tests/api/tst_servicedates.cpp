#include "api/catalogrecords.h"
#include "recordcodingcases.h"

#include <QJsonArray>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

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

class TestServiceDates : public QObject
{
    Q_OBJECT
private slots:
    void readableShapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("instant");
        const QDateTime instant = utc(2024, 5, 1, 12, 30, 45, 123);
        QTest::newRow("fraction and Z") << u"2024-05-01T12:30:45.123Z"_s << instant;
        QTest::newRow("fraction and +03:00") << u"2024-05-01T15:30:45.123+03:00"_s << instant;
        QTest::newRow("fraction and -05:30") << u"2024-05-01T07:00:45.123-05:30"_s << instant;
        QTest::newRow("six fraction digits") << u"2024-05-01T12:30:45.123456Z"_s << instant;
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
        QTest::newRow("hour 25") << u"2024-05-01T25:00:00"_s;
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

QTEST_GUILESS_MAIN(TestServiceDates)
#include "tst_servicedates.moc"
