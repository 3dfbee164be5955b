#include "mediagen.h"

#include <QCryptographicHash>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace devservice;
using namespace Qt::StringLiterals;

namespace {

constexpr int rate = 22050;

quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

class TestMediaGen : public QObject
{
    Q_OBJECT
private slots:
    void wavHeader_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("expectedSeconds");
        QTest::newRow("three seconds") << 3 << 3;
        QTest::newRow("zero: one second") << 0 << 1;
        QTest::newRow("beyond twenty minutes") << 5000 << 1200;
    }

    void wavHeader()
    {
        QFETCH(int, seconds);
        QFETCH(int, expectedSeconds);
        const QByteArray wav = renderWav(11, seconds);
        const quint32 dataSize = quint32(expectedSeconds) * rate * 2;
        QCOMPARE(quint32(wav.size()), 44 + dataSize);
        QCOMPARE(wav.left(4) + wav.mid(8, 8), QByteArray("RIFFWAVEfmt "));
        // Sizes, PCM, mono, the rate and 16 bits.
        QCOMPARE(
            (QList<quint32> {le32(wav, 4), le32(wav, 40), le16(wav, 20), le16(wav, 22), le32(wav, 24), le16(wav, 34)}),
            (QList<quint32> {quint32(wav.size() - 8), dataSize, 1, 1, rate, 16}));
    }

    void deterministicPerSeed()
    {
        QCOMPARE(renderWav(42, 2), renderWav(42, 2));
        QVERIFY(renderWav(42, 2) != renderWav(43, 2));
        QCOMPARE(renderFlac(5, 3), renderFlac(5, 3));
        QCOMPARE(renderCoverPng(3, 128), renderCoverPng(3, 128));
        QVERIFY(renderCoverPng(3, 32) != renderCoverPng(4, 32));
    }

    void coverLoadsAtTheAskedSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("300") << 300 << 300;
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("huge") << 100000 << 2048;
    }

    void coverLoadsAtTheAskedSize()
    {
        QFETCH(int, size);
        QFETCH(int, expected);
        const QImage image = QImage::fromData(renderCoverPng(9, size), "PNG");
        QCOMPARE(image.size(), QSize(expected, expected));
    }

    // The oscillators run for the whole file: the twentieth minute is as
    // loud as the first and as clean (no sample far beyond the melody's
    // peaks, which stay near a third of full scale).
    void longFilesKeepTheirLevel()
    {
        constexpr int seconds = 20 * 60;
        const QByteArray wav = renderWav(7, seconds);
        QCOMPARE(wav.size(), 44 + 2 * seconds * rate);
        const auto rms = [&wav](int fromSecond) {
            double sum = 0;
            const int first = fromSecond * rate;
            for (int i = first; i < first + 60 * rate; ++i) {
                const double v = qint16(le16(wav, 44 + 2 * i));
                sum += v * v;
            }
            return std::sqrt(sum / (60 * rate));
        };
        const double early = rms(30);
        const double late = rms(seconds - 90);
        QVERIFY2(early > 500, qPrintable(QString::number(early)));
        QVERIFY2(std::abs(late - early) < 0.05 * early, qPrintable(u"%1 against %2"_s.arg(late).arg(early)));
        int loudest = 0;
        for (int i = 0; i < seconds * rate; ++i)
            loudest = std::max(loudest, std::abs(int(qint16(le16(wav, 44 + 2 * i)))));
        QVERIFY2(loudest < 16384, qPrintable(QString::number(loudest)));
    }

    void flacDecodesToTheSameSamples_data()
    {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("seconds");
        QTest::newRow("seed 0, 1 s") << quint64(0) << 1;
        QTest::newRow("largest seed, 13 s") << ~quint64(0) << 13;
    }

    void flacDecodesToTheSameSamples()
    {
        QFETCH(quint64, seed);
        QFETCH(int, seconds);
        const QString ffmpeg = QStandardPaths::findExecutable(u"ffmpeg"_s);
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"track.flac"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray flac = renderFlac(seed, seconds);
        file.write(flac);
        file.close();

        // crccheck makes the decoder verify every frame's CRC-16 as well.
        QProcess decoder;
        decoder.start(
            ffmpeg, {u"-v"_s, u"error"_s, u"-err_detect"_s, u"crccheck"_s, u"-i"_s, path, u"-f"_s, u"s16le"_s, u"-"_s});
        QVERIFY(decoder.waitForFinished(120000));
        QCOMPARE(decoder.exitCode(), 0);
        QCOMPARE(decoder.readAllStandardError(), QByteArray());
        const QByteArray pcm = renderWav(seed, seconds).mid(44);
        QVERIFY(decoder.readAllStandardOutput() == pcm);
        // STREAMINFO carries the samples' MD5, which stricter decoders check.
        QCOMPARE(flac.mid(8 + 18, 16), QCryptographicHash::hash(pcm, QCryptographicHash::Md5));
        // Lossless and still smaller than the samples themselves.
        QVERIFY(flac.size() < pcm.size());

        // Frame headers that name another rate decode to the same samples
        // but play at the wrong speed, so ask the demuxer what it found.
        const QString ffprobe = QStandardPaths::findExecutable(u"ffprobe"_s);
        if (ffprobe.isEmpty())
            return;
        QProcess probe;
        probe.start(ffprobe,
            {u"-v"_s, u"error"_s, u"-show_entries"_s, u"stream=sample_rate,channels,duration_ts"_s, u"-of"_s,
                u"default=nw=1"_s, path});
        QVERIFY(probe.waitForFinished(120000));
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
            QStringList({u"sample_rate=22050"_s, u"channels=1"_s, u"duration_ts=%1"_s.arg(seconds * rate)}));
    }
};

QTEST_GUILESS_MAIN(TestMediaGen)
#include "tst_mediagen.moc"
