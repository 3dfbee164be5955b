#include "api/catalogrecords.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// A page as the catalogue's brief listing sends it: no lyrics, the rest filled.
QByteArray briefTrackPage(int count)
{
    QJsonArray items;
    for (int i = 0; i < count; ++i) {
        TrackOut t;
        t.id = u"trk-%1"_s.arg(i, 6, 10, QChar(u'0'));
        t.title = u"Композиция номер %1"_s.arg(i);
        t.artist = i % 3 ? u"Лина feat. Mark"_s : u"Северный ветер"_s;
        t.durationSeconds = 120 + i % 240;
        t.fileUrl = i % 4 ? u"media/%1.mp3"_s.arg(t.id) : u"media/%1.flac"_s.arg(t.id);
        t.coverUrl = u"covers/%1.png"_s.arg(i % 500);
        if (i % 2)
            t.albumId = u"alb-%1"_s.arg(i / 10);
        t.trackNumber = i % 12 + 1;
        t.isFavorite = i % 7 == 0;
        t.createdAt = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(i) * 3607);
        items.append(t.toJson());
    }
    const QJsonObject page {
        {"items"_L1, items}, {"total"_L1, count}, {"page"_L1, 1}, {"size"_L1, count}, {"pages"_L1, 1}};
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

} // namespace

class BenchDecodeTracks : public QObject
{
    Q_OBJECT
private slots:
    void decodeTrackPage_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("1000") << 1000;
        QTest::newRow("10000") << 10000;
        QTest::newRow("100000") << 100000;
    }

    void decodeTrackPage()
    {
        QFETCH(int, count);
        const QByteArray body = briefTrackPage(count);
        qint64 runs = 0;
        QElapsedTimer timer;
        timer.start();
        QBENCHMARK
        {
            const TrackPage page = decodeJson<TrackPage>(body);
            QCOMPARE(page.items.size(), count);
            ++runs;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        qInfo("%d tracks (%lld KiB of JSON): %.0f tracks per second", count, qint64(body.size() / 1024),
            double(count) * double(runs) / seconds);
    }
};

QTEST_GUILESS_MAIN(BenchDecodeTracks)
#include "bench_decodetracks.moc"
