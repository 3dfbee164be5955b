#include "mediagen.h"

#include <QCryptographicHash>
#include <QImage>
#include <QProcess>
#include <QSet>
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

QVector<qint16> samples(const QByteArray &pcm)
{
    QVector<qint16> out(pcm.size() / 2);
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
    return out;
}

// Reads big-endian bit fields, as FLAC's metadata is laid out.
quint64 bits(const QByteArray &b, int bitOffset, int count)
{
    quint64 value = 0;
    for (int i = bitOffset; i < bitOffset + count; ++i)
        value = (value << 1) | ((quint8(b.at(i / 8)) >> (7 - i % 8)) & 1);
    return value;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError()};
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
        QTest::newRow("one second") << 1 << 1;
        QTest::newRow("three seconds") << 3 << 3;
        QTest::newRow("zero: one second") << 0 << 1;
        QTest::newRow("negative: one second") << -5 << 1;
        QTest::newRow("beyond twenty minutes") << 5000 << 1200;
    }

    void wavHeader()
    {
        QFETCH(int, seconds);
        QFETCH(int, expectedSeconds);
        const QByteArray wav = renderWav(11, seconds);
        const quint32 dataSize = quint32(expectedSeconds) * rate * 2;

        QCOMPARE(quint32(wav.size()), 44 + dataSize);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(wav, 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le32(wav, 16), 16u);
        QCOMPARE(le16(wav, 20), quint16(1)); // PCM
        QCOMPARE(le16(wav, 22), quint16(1)); // mono
        QCOMPARE(le32(wav, 24), quint32(rate));
        QCOMPARE(le32(wav, 28), quint32(rate * 2));
        QCOMPARE(le16(wav, 32), quint16(2));
        QCOMPARE(le16(wav, 34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(le32(wav, 40), dataSize);
    }

    void audioIsDeterministicAndDiffersBySeed()
    {
        QCOMPARE(renderWav(42, 2), renderWav(42, 2));
        QSet<QByteArray> hashes;
        for (quint64 seed = 0; seed < 24; ++seed)
            hashes.insert(QCryptographicHash::hash(renderWav(seed, 1), QCryptographicHash::Sha1));
        QCOMPARE(hashes.size(), 24);

        // Not merely different bytes: two seeds hardly correlate.
        const QVector<qint16> a = samples(renderWav(1, 4).mid(44));
        const QVector<qint16> b = samples(renderWav(2, 4).mid(44));
        double ab = 0, aa = 0, bb = 0;
        for (qsizetype i = 0; i < a.size(); ++i) {
            ab += double(a[i]) * b[i];
            aa += double(a[i]) * a[i];
            bb += double(b[i]) * b[i];
        }
        QVERIFY2(std::fabs(ab / std::sqrt(aa * bb)) < 0.5, "two seeds sound alike");
    }

    void levelIsModerate()
    {
        for (quint64 seed : {0ULL, 7ULL, 123456789ULL, ~0ULL}) {
            const QVector<qint16> s = samples(renderWav(seed, 5).mid(44));
            int peak = 0;
            double sum = 0;
            for (qint16 v : s) {
                peak = std::max(peak, std::abs(int(v)));
                sum += double(v) * v;
            }
            const double rms = std::sqrt(sum / s.size());
            QVERIFY2(peak < 20000, qPrintable(u"peak %1"_s.arg(peak)));
            QVERIFY2(rms > 800, qPrintable(u"rms %1"_s.arg(rms)));
            // Starts and ends quietly, without a click.
            QVERIFY(std::abs(int(s.first())) < 100);
            QVERIFY(std::abs(int(s.last())) < 100);
        }
    }

    void coverLoadsAtTheAskedSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("64") << 64 << 64;
        QTest::newRow("300") << 300 << 300;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("huge") << 100000 << 2048;
    }

    void coverLoadsAtTheAskedSize()
    {
        QFETCH(int, size);
        QFETCH(int, expected);
        const QByteArray png = renderCoverPng(9, size);
        QCOMPARE(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QImage image = QImage::fromData(png, "PNG");
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(expected, expected));
        if (expected >= 64)
            QVERIFY(image.pixel(0, 0) != image.pixel(expected - 1, expected - 1));
    }

    void coverIsDeterministicAndDiffersBySeed()
    {
        QCOMPARE(renderCoverPng(3, 128), renderCoverPng(3, 128));
        QSet<QByteArray> covers;
        for (quint64 seed = 0; seed < 16; ++seed)
            covers.insert(renderCoverPng(seed, 32));
        QCOMPARE(covers.size(), 16);
    }

    void flacStreamInfo()
    {
        const QByteArray flac = renderFlac(5, 3);
        const QByteArray pcm = renderWav(5, 3).mid(44);
        QCOMPARE(flac.left(4), QByteArray("fLaC"));
        QCOMPARE(quint8(flac.at(4)), quint8(0x80)); // last metadata block, STREAMINFO
        QCOMPARE(bits(flac, 5 * 8, 24), 34u);
        const QByteArray info = flac.mid(8, 34);
        QCOMPARE(bits(info, 0, 16), 4096u);
        QCOMPARE(bits(info, 16, 16), 4096u);
        QVERIFY(bits(info, 32, 24) > 0);
        QVERIFY(bits(info, 56, 24) >= bits(info, 32, 24));
        QCOMPARE(bits(info, 80, 20), quint64(rate));
        QCOMPARE(bits(info, 100, 3) + 1, 1u);
        QCOMPARE(bits(info, 103, 5) + 1, 16u);
        QCOMPARE(bits(info, 108, 36), quint64(3 * rate));
        QCOMPARE(info.mid(18, 16), QCryptographicHash::hash(pcm, QCryptographicHash::Md5));
        QCOMPARE(renderFlac(5, 3), flac);
        QVERIFY(renderFlac(6, 3) != flac);
    }

    void flacDecodesToTheSameSamples_data()
    {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("seconds");
        QTest::newRow("seed 0, 1 s") << quint64(0) << 1;
        QTest::newRow("seed 77, 7 s") << quint64(77) << 7;
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
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"track.flac"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray flac = renderFlac(seed, seconds);
        file.write(flac);
        file.close();

        // crccheck makes the decoder verify every frame's CRC-16 as well.
        const Run decoded = run(
            ffmpeg, {u"-v"_s, u"error"_s, u"-err_detect"_s, u"crccheck"_s, u"-i"_s, path, u"-f"_s, u"s16le"_s, u"-"_s});
        QCOMPARE(decoded.exitCode, 0);
        QCOMPARE(decoded.err, QByteArray());
        const QByteArray pcm = renderWav(seed, seconds).mid(44);
        QCOMPARE(decoded.out.size(), pcm.size());
        QVERIFY(decoded.out == pcm);
        QCOMPARE(flac.mid(8 + 18, 16), QCryptographicHash::hash(decoded.out, QCryptographicHash::Md5));

        const Run checked = run(ffmpeg, {u"-v"_s, u"error"_s, u"-i"_s, path, u"-f"_s, u"null"_s, u"-"_s});
        QCOMPARE(checked.exitCode, 0);
        QCOMPARE(checked.err, QByteArray());

        // Frame headers that name another rate decode to the same samples
        // but play at the wrong speed, so ask the demuxer what it found.
        const QString ffprobe = QStandardPaths::findExecutable(u"ffprobe"_s);
        if (!ffprobe.isEmpty()) {
            const Run probed = run(ffprobe,
                {u"-v"_s, u"error"_s, u"-show_entries"_s, u"stream=sample_rate,channels,duration_ts"_s, u"-of"_s,
                    u"default=nw=1"_s, path});
            QCOMPARE(probed.exitCode, 0);
            QCOMPARE(QString::fromUtf8(probed.out).split(u'\n', Qt::SkipEmptyParts),
                QStringList({u"sample_rate=22050"_s, u"channels=1"_s, u"duration_ts=%1"_s.arg(seconds * rate)}));
        }

        // Lossless and still smaller than the samples themselves.
        QVERIFY(flac.size() < pcm.size());
    }
};

QTEST_GUILESS_MAIN(TestMediaGen)
#include "tst_mediagen.moc"
