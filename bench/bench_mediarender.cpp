// How long the local service takes to render a track's file on its first
// request, which a listener waits for before the first sound: the longest
// tracks of the generated catalogue (five minutes), as FLAC and as WAV.
#include "mediagen.h"

#include <QtTest>

using namespace devservice;

class BenchMediaRender : public QObject
{
    Q_OBJECT
private slots:
    void renderFiveMinutes_data()
    {
        QTest::addColumn<bool>("flac");
        QTest::newRow("flac") << true;
        QTest::newRow("wav") << false;
    }

    void renderFiveMinutes()
    {
        QFETCH(bool, flac);
        quint64 seed = 1;
        QBENCHMARK {
            const QByteArray file = flac ? renderFlac(seed, 300) : renderWav(seed, 300);
            QVERIFY(file.size() > 1000);
            ++seed;
        }
    }
};

QTEST_GUILESS_MAIN(BenchMediaRender)
#include "bench_mediarender.moc"
