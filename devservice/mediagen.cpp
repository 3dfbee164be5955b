#include "mediagen.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace devservice {

namespace {

constexpr int sampleRate = 22050;
constexpr int bitsPerSample = 16;
constexpr int flacBlockSize = 4096;

// SplitMix64: small, fast and the same everywhere.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) { }

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int bound) { return int(next() % quint64(bound)); }
    double unit() { return double(next() >> 11) / double(1ULL << 53); }

private:
    quint64 m_state;
};

struct Note
{
    int beats; // length in beats
    int degree; // step of the scale, or -1 for a rest
};

// A short phrase of pentatonic notes over a quiet drone, repeated for the
// whole length. The seed picks the key, tempo, phrase and timbre.
std::vector<qint16> renderPcm(quint64 seed, int seconds)
{
    seconds = std::clamp(seconds, 1, 1200);
    Random random(seed ^ 0x6E696D6272612D61ULL);

    static constexpr std::array<int, 10> scale {0, 2, 4, 7, 9, 12, 14, 16, 19, 21};
    const int rootMidi = 45 + random.below(15);
    const double beatSeconds = 0.16 + 0.2 * random.unit();
    const double secondHarmonic = 0.1 + 0.25 * random.unit();
    const double thirdHarmonic = 0.05 + 0.15 * random.unit();
    const double decayShare = 0.3 + 0.4 * random.unit();

    std::vector<Note> phrase(8 + 2 * random.below(5));
    for (Note &note : phrase) {
        note.beats = 1 + (random.below(4) == 0 ? 1 : 0);
        note.degree = random.below(9) == 0 ? -1 : random.below(int(scale.size()));
    }

    auto frequency = [](double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); };
    const qsizetype total = qsizetype(seconds) * sampleRate;
    const double droneHz = frequency(rootMidi - 12);
    const double harmonicsSum = 1.0 + secondHarmonic + thirdHarmonic;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    constexpr double attack = 0.012;
    constexpr double release = 0.02;
    constexpr double fadeSeconds = 0.5;

    // Sines advance by rotation and the decay by one factor a sample, so a
    // five-minute track renders in a fraction of a second: the service
    // renders a file when it is first asked for, while the listener waits.
    // Each note starts its oscillators afresh from the exact values, so no
    // rounding builds up over a long file.
    const double droneStep = twoPi * droneHz / sampleRate;
    const double droneCos = std::cos(droneStep);
    const double droneSin = std::sin(droneStep);
    std::vector<qint16> pcm(static_cast<size_t>(total));
    qsizetype start = 0;
    for (size_t index = 0; start < total; index = (index + 1) % phrase.size()) {
        const Note &note = phrase[index];
        const qsizetype length = qsizetype(note.beats * beatSeconds * sampleRate);
        const qsizetype end = std::min(total, start + length);
        const double noteSeconds = double(length) / sampleRate;
        const double hz = note.degree >= 0 ? frequency(rootMidi + scale[size_t(note.degree)]) : 0.0;
        const double tau = std::max(0.05, decayShare * noteSeconds);
        const double decayStep = std::exp(-1.0 / (tau * sampleRate));
        const double toneStep = twoPi * hz / sampleRate;
        const double toneCos = std::cos(toneStep);
        const double toneSin = std::sin(toneStep);
        // sin and cos of the drone's phase at the note's first sample, and
        // of the note's own phase (0 there).
        double droneS = std::sin(droneStep * double(start));
        double droneC = std::cos(droneStep * double(start));
        double toneS = 0.0;
        double toneC = 1.0;
        double decay = 1.0;
        for (qsizetype i = start; i < end; ++i) {
            // A quiet drone on the root an octave down; everything fades in
            // and out over half a second at the ends of the file.
            const double time = double(i) / sampleRate;
            const double fade = std::min({1.0, time / fadeSeconds, double(total - i) / sampleRate / fadeSeconds});
            double value = 0.05 * droneS;
            if (note.degree >= 0) {
                const double t = double(i - start) / sampleRate;
                const double envelope = std::min({t / attack, 1.0, (noteSeconds - t) / release}) * decay;
                // sin 2x and sin 3x from sin x and cos x.
                const double tone = toneS + secondHarmonic * 2.0 * toneS * toneC
                    + thirdHarmonic * toneS * (3.0 - 4.0 * toneS * toneS);
                value += 0.28 * envelope * tone / harmonicsSum;
            }
            // Peaks stay near a third of full scale, so nothing clips.
            const double scaled = std::clamp(fade * value * 32767.0, -32768.0, 32767.0);
            pcm[size_t(i)] = qint16(scaled < 0 ? scaled - 0.5 : scaled + 0.5);

            const double nextDroneS = droneS * droneCos + droneC * droneSin;
            droneC = droneC * droneCos - droneS * droneSin;
            droneS = nextDroneS;
            const double nextToneS = toneS * toneCos + toneC * toneSin;
            toneC = toneC * toneCos - toneS * toneSin;
            toneS = nextToneS;
            decay *= decayStep;
        }
        start = end;
    }
    return pcm;
}

QByteArray littleEndianBytes(const std::vector<qint16> &pcm)
{
    QByteArray bytes(qsizetype(pcm.size()) * 2, Qt::Uninitialized);
    for (size_t i = 0; i < pcm.size(); ++i) {
        const auto v = quint16(pcm[i]);
        bytes[qsizetype(2 * i)] = char(v & 0xFF);
        bytes[qsizetype(2 * i + 1)] = char(v >> 8);
    }
    return bytes;
}

void putLE(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// Writes bits most significant first, as FLAC wants them.
class BitWriter
{
public:
    // At most 56 bits at a time.
    void put(quint64 value, int bits)
    {
        m_pending = (m_pending << bits) | (value & ((1ULL << bits) - 1));
        m_used += bits;
        while (m_used >= 8) {
            m_used -= 8;
            m_bytes.append(char((m_pending >> m_used) & 0xFF));
        }
    }
    void putSigned(qint64 value, int bits) { put(quint64(value), bits); }
    void putUnary(quint32 zeros)
    {
        for (; zeros >= 32; zeros -= 32)
            put(0, 32);
        put(1, int(zeros) + 1);
    }
    void alignToByte()
    {
        if (m_used)
            put(0, 8 - m_used);
    }
    // Only whole bytes: callers read it at byte boundaries.
    QByteArray &bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
    quint64 m_pending = 0;
    int m_used = 0;
};

quint8 crc8(const char *data, qsizetype size)
{
    quint8 crc = 0;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int b = 0; b < 8; ++b)
            crc = quint8(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

// Table-driven: a frame's CRC covers every byte of it, and a long track has
// megabytes of frames.
quint16 crc16(const char *data, qsizetype size)
{
    static const std::array<quint16, 256> table = [] {
        std::array<quint16, 256> entries {};
        for (int byte = 0; byte < 256; ++byte) {
            auto crc = quint16(byte << 8);
            for (int b = 0; b < 8; ++b)
                crc = quint16(crc & 0x8000 ? (crc << 1) ^ 0x8005 : crc << 1);
            entries[size_t(byte)] = crc;
        }
        return entries;
    }();
    quint16 crc = 0;
    for (qsizetype i = 0; i < size; ++i)
        crc = quint16((crc << 8) ^ table[size_t(((crc >> 8) ^ quint8(data[i])) & 0xFF)]);
    return crc;
}

// The frame number in FLAC's UTF-8-like coding.
void putFrameNumber(BitWriter &w, quint32 n)
{
    if (n < 0x80) {
        w.put(n, 8);
        return;
    }
    int continuation = n < 0x800 ? 1 : n < 0x10000 ? 2 : n < 0x200000 ? 3 : n < 0x4000000 ? 4 : 5;
    const quint32 lead = (0xFF00u >> (continuation + 1)) & 0xFF;
    w.put(lead | (n >> (6 * continuation)), 8);
    while (continuation--)
        w.put(0x80 | ((n >> (6 * continuation)) & 0x3F), 8);
}

qint32 fixedResidual(const qint16 *x, qsizetype i, int order)
{
    switch (order) {
    case 0:
        return x[i];
    case 1:
        return x[i] - x[i - 1];
    case 2:
        return x[i] - 2 * x[i - 1] + x[i - 2];
    case 3:
        return x[i] - 3 * x[i - 1] + 3 * x[i - 2] - x[i - 3];
    default:
        return x[i] - 4 * x[i - 1] + 6 * x[i - 2] - 4 * x[i - 3] + x[i - 4];
    }
}

quint32 zigzag(qint32 r)
{
    return (quint32(r) << 1) ^ quint32(r >> 31);
}

// One subframe: the fixed predictor that leaves the smallest residual,
// Rice-coded in equal partitions, or the samples verbatim when that is
// smaller.
void putSubframe(BitWriter &w, const qint16 *x, qsizetype n)
{
    // The residuals of the five orders are successive differences, so one
    // pass sums them all.
    std::array<quint64, 5> sums {};
    for (qsizetype i = 0; i < n; ++i) {
        const qint32 e0 = x[i];
        const qint32 e1 = i >= 1 ? e0 - x[i - 1] : 0;
        const qint32 e2 = i >= 2 ? e1 - (x[i - 1] - x[i - 2]) : 0;
        const qint32 e3 = i >= 3 ? e2 - (x[i - 1] - 2 * x[i - 2] + x[i - 3]) : 0;
        const qint32 e4 = i >= 4 ? e3 - (x[i - 1] - 3 * x[i - 2] + 3 * x[i - 3] - x[i - 4]) : 0;
        sums[0] += quint64(std::abs(e0));
        sums[1] += quint64(std::abs(e1));
        sums[2] += quint64(std::abs(e2));
        sums[3] += quint64(std::abs(e3));
        sums[4] += quint64(std::abs(e4));
    }
    int order = 0;
    for (int o = 1; o <= 4 && o < n; ++o) {
        if (sums[size_t(o)] < sums[size_t(order)])
            order = o;
    }

    int partitionOrder = 0;
    while (partitionOrder < 4 && n % (qsizetype(2) << partitionOrder) == 0 && (n >> (partitionOrder + 1)) > order)
        ++partitionOrder;
    const int partitions = 1 << partitionOrder;
    const qsizetype partitionSize = n >> partitionOrder;

    std::vector<quint32> u(static_cast<size_t>(n));
    for (qsizetype i = order; i < n; ++i)
        u[size_t(i)] = zigzag(fixedResidual(x, i, order));

    std::vector<int> parameters(static_cast<size_t>(partitions));
    quint64 bits = 8 + quint64(order) * bitsPerSample + 6;
    for (int p = 0; p < partitions; ++p) {
        const qsizetype from = p == 0 ? order : p * partitionSize;
        const qsizetype to = (p + 1) * partitionSize;
        // The best parameter lies next to log2 of the mean residual; only
        // its neighbours are costed, not all fifteen.
        quint64 sum = 0;
        for (qsizetype i = from; i < to; ++i)
            sum += u[size_t(i)];
        const quint64 mean = to > from ? sum / quint64(to - from) : 0;
        int guess = 0;
        while (guess < 14 && (quint64(1) << (guess + 1)) <= mean)
            ++guess;
        quint64 best = ~0ULL;
        for (int k = std::max(0, guess - 1); k <= std::min(14, guess + 1); ++k) {
            quint64 cost = quint64(to - from) * quint64(k + 1);
            for (qsizetype i = from; i < to; ++i)
                cost += u[size_t(i)] >> k;
            if (cost < best) {
                best = cost;
                parameters[size_t(p)] = k;
            }
        }
        bits += 4 + best;
    }

    if (bits >= 8 + quint64(n) * bitsPerSample) {
        w.put(0b00000010, 8); // VERBATIM
        for (qsizetype i = 0; i < n; ++i)
            w.putSigned(x[i], bitsPerSample);
        return;
    }
    w.put(quint64(0b00010000 | (order << 1)), 8); // FIXED with this order
    for (qsizetype i = 0; i < order; ++i)
        w.putSigned(x[i], bitsPerSample);
    w.put(0, 2); // Rice coding with 4-bit parameters
    w.put(quint64(partitionOrder), 4);
    for (int p = 0; p < partitions; ++p) {
        const int k = parameters[size_t(p)];
        w.put(quint64(k), 4);
        const qsizetype from = p == 0 ? order : p * partitionSize;
        for (qsizetype i = from; i < (p + 1) * partitionSize; ++i) {
            w.putUnary(u[size_t(i)] >> k);
            if (k)
                w.put(u[size_t(i)] & ((1u << k) - 1), k);
        }
    }
}

QByteArray flacFrame(const qint16 *x, qsizetype n, quint32 frameNumber)
{
    BitWriter w;
    w.put(0xFFF8, 16); // sync code, fixed block size
    const bool standardSize = n == flacBlockSize;
    w.put(standardSize ? 0b1100 : 0b0111, 4); // 4096, or 16-bit size after the number
    w.put(0b0110, 4); // 22.05 kHz
    w.put(0b0000, 4); // one channel
    w.put(0b100, 3); // 16 bits per sample
    w.put(0, 1);
    putFrameNumber(w, frameNumber);
    if (!standardSize)
        w.put(quint64(n - 1), 16);
    w.put(crc8(w.bytes().constData(), w.bytes().size()), 8);

    putSubframe(w, x, n);
    w.alignToByte();
    w.put(crc16(w.bytes().constData(), w.bytes().size()), 16);
    return w.bytes();
}

} // namespace

QByteArray renderWav(quint64 seed, int seconds)
{
    const QByteArray data = littleEndianBytes(renderPcm(seed, seconds));
    QByteArray out;
    out.reserve(44 + data.size());
    out.append("RIFF");
    putLE(out, quint32(36 + data.size()), 4);
    out.append("WAVEfmt ");
    putLE(out, 16, 4);
    putLE(out, 1, 2); // PCM
    putLE(out, 1, 2); // mono
    putLE(out, sampleRate, 4);
    putLE(out, sampleRate * 2, 4); // bytes per second
    putLE(out, 2, 2); // bytes per sample frame
    putLE(out, bitsPerSample, 2);
    out.append("data");
    putLE(out, quint32(data.size()), 4);
    out.append(data);
    return out;
}

QByteArray renderFlac(quint64 seed, int seconds)
{
    const std::vector<qint16> pcm = renderPcm(seed, seconds);
    const auto total = qsizetype(pcm.size());

    QByteArray frames;
    quint32 minFrame = ~0u;
    quint32 maxFrame = 0;
    quint32 frameNumber = 0;
    for (qsizetype at = 0; at < total; at += flacBlockSize, ++frameNumber) {
        const QByteArray frame
            = flacFrame(pcm.data() + at, std::min<qsizetype>(flacBlockSize, total - at), frameNumber);
        minFrame = std::min(minFrame, quint32(frame.size()));
        maxFrame = std::max(maxFrame, quint32(frame.size()));
        frames.append(frame);
    }

    // Every stream is longer than one block, so the minimum block size
    // (which leaves the last block out) is the fixed size.
    BitWriter info;
    info.put(flacBlockSize, 16);
    info.put(flacBlockSize, 16);
    info.put(minFrame, 24);
    info.put(maxFrame, 24);
    info.put(sampleRate, 20);
    info.put(1 - 1, 3);
    info.put(bitsPerSample - 1, 5);
    info.put(quint64(total), 36);
    info.bytes().append(QCryptographicHash::hash(littleEndianBytes(pcm), QCryptographicHash::Md5));

    QByteArray out("fLaC");
    out.append(char(0x80)); // the last (and only) metadata block: STREAMINFO
    out.append(char(0));
    out.append(char(0));
    out.append(char(info.bytes().size()));
    out.append(info.bytes());
    out.append(frames);
    return out;
}

QByteArray renderCoverPng(quint64 seed, int size)
{
    size = std::clamp(size, 1, 2048);
    Random random(seed ^ 0x636F7665722D6172ULL);
    const int hue = random.below(360);
    const QColor from = QColor::fromHsvF(hue / 360.0, 0.35 + 0.2 * random.unit(), 0.45 + 0.2 * random.unit());
    const QColor to = QColor::fromHsvF(
        ((hue + 40 + random.below(80)) % 360) / 360.0, 0.4 + 0.2 * random.unit(), 0.7 + 0.15 * random.unit());
    // A soft disc of a lighter tint somewhere near the middle.
    const double cx = size * (0.3 + 0.4 * random.unit());
    const double cy = size * (0.3 + 0.4 * random.unit());
    const double radius = size * (0.18 + 0.14 * random.unit());
    const double angle = random.unit() * 2.0 * std::numbers::pi;
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // Gradient along the chosen direction, 0 at one corner and 1 at the other.
            const double u = size > 1 ? ((x - size / 2.0) * dx + (y - size / 2.0) * dy) / (size * 0.71) + 0.5 : 0.5;
            const double g = std::clamp(u, 0.0, 1.0);
            double r = from.redF() + (to.redF() - from.redF()) * g;
            double gr = from.greenF() + (to.greenF() - from.greenF()) * g;
            double b = from.blueF() + (to.blueF() - from.blueF()) * g;
            const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double disc = 0.3 * std::clamp(radius - distance + 0.5, 0.0, 1.0);
            r += (1.0 - r) * disc;
            gr += (1.0 - gr) * disc;
            b += (1.0 - b) * disc;
            line[x] = qRgb(int(std::lround(r * 255)), int(std::lround(gr * 255)), int(std::lround(b * 255)));
        }
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace devservice
