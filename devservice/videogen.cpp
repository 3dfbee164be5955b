#include "videogen.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

QColor clipColour(quint64 seed, int lightness)
{
    // Hues a golden angle apart keep neighbouring seeds far from each other.
    const int hue = int((seed % 360ULL) * 137ULL % 360ULL);
    return QColor::fromHsl(hue, 170, lightness);
}

// One picture of the clip at time seconds of total (both may be 0 for a poster).
QImage renderFrame(quint64 seed, const QString &label, double seconds, double total, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, clipColour(seed, 120));
    gradient.setColorAt(1, clipColour(seed, 55));
    p.fillRect(image.rect(), gradient);

    const int unit = qMin(width, height);
    // A disc that crosses the picture once per clip: motion a viewer sees.
    if (total > 0) {
        const double x = width * 0.1 + width * 0.8 * (seconds / total);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawEllipse(QPointF(x, height * 0.3), unit * 0.12, unit * 0.12);
    }

    QFont font(u"DejaVu Sans"_s);
    font.setBold(true);
    font.setPixelSize(qMax(8, qMin(unit * 30 / 100, int(width * 1.4 / qMax<qsizetype>(1, label.size())))));
    p.setFont(font);
    p.setPen(Qt::white);
    // A poster keeps its middle free for the play symbol the grid lays on it.
    const QRect labelArea = total > 0 ? QRect(0, 0, width, height * 3 / 4) : QRect(0, height / 2, width, height / 2);
    p.drawText(labelArea, Qt::AlignCenter, label);

    if (total > 0) {
        font.setPixelSize(qMax(6, unit / 9));
        font.setBold(false);
        p.setFont(font);
        const int whole = int(seconds);
        p.drawText(QRect(0, height * 3 / 5, width, height / 4), Qt::AlignCenter,
            u"%1:%2"_s.arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0')));
        const int barHeight = qMax(2, height / 30);
        p.fillRect(QRectF(0, height - barHeight, width, barHeight), QColor(0, 0, 0, 90));
        p.fillRect(QRectF(0, height - barHeight, width * qMin(1.0, seconds / total), barHeight), Qt::white);
    }
    p.end();
    return image;
}

QByteArray jpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

// Little-endian RIFF writing.
class Riff
{
public:
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_data.append(b, 4);
    }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_data.append(b, 2);
    }
    void fourcc(const char *code) { m_data.append(code, 4); }
    // Opens a chunk (or a LIST with its type); close() writes its size.
    void open(const char *code, const char *listType = nullptr)
    {
        fourcc(code);
        m_open.append(m_data.size());
        u32(0);
        if (listType)
            fourcc(listType);
    }
    void close()
    {
        const qsizetype at = m_open.takeLast();
        qToLittleEndian(quint32(m_data.size() - at - 4), m_data.data() + at);
        if (m_data.size() % 2)
            m_data.append('\0');
    }
    void bytes(const QByteArray &b) { m_data.append(b); }
    qsizetype size() const { return m_data.size(); }
    QByteArray take() { return std::move(m_data); }

private:
    QByteArray m_data;
    QList<qsizetype> m_open;
};

} // namespace

QByteArray renderClipAvi(quint64 seed, const QString &label, int seconds, ClipVideoFormat format)
{
    seconds = qBound(1, seconds, 60);
    const int fps = qBound(1, format.fps, 60);
    const int width = qBound(16, format.width, 1920) & ~1;
    const int height = qBound(16, format.height, 1080) & ~1;
    const int frames = seconds * fps;

    QList<QByteArray> pictures;
    pictures.reserve(frames);
    quint32 largest = 0;
    for (int i = 0; i < frames; ++i) {
        pictures.append(jpeg(renderFrame(seed, label, double(i) / fps, seconds, width, height)));
        largest = qMax(largest, quint32(pictures.last().size()));
    }

    Riff riff;
    riff.open("RIFF", "AVI ");
    riff.open("LIST", "hdrl");
    riff.open("avih");
    riff.u32(quint32(1000000 / fps)); // microseconds per frame
    riff.u32(largest * quint32(fps)); // max bytes per second
    riff.u32(0); // padding granularity
    riff.u32(0x10); // AVIF_HASINDEX
    riff.u32(quint32(frames));
    riff.u32(0); // initial frames
    riff.u32(1); // streams
    riff.u32(largest);
    riff.u32(quint32(width));
    riff.u32(quint32(height));
    for (int i = 0; i < 4; ++i)
        riff.u32(0);
    riff.close();
    riff.open("LIST", "strl");
    riff.open("strh");
    riff.fourcc("vids");
    riff.fourcc("MJPG");
    riff.u32(0); // flags
    riff.u16(0); // priority
    riff.u16(0); // language
    riff.u32(0); // initial frames
    riff.u32(1); // scale
    riff.u32(quint32(fps)); // rate: fps frames per second
    riff.u32(0); // start
    riff.u32(quint32(frames)); // length in frames
    riff.u32(largest);
    riff.u32(0xFFFFFFFF); // quality: default
    riff.u32(0); // sample size: varies
    riff.u16(0);
    riff.u16(0);
    riff.u16(quint16(width));
    riff.u16(quint16(height));
    riff.close();
    riff.open("strf"); // BITMAPINFOHEADER
    riff.u32(40);
    riff.u32(quint32(width));
    riff.u32(quint32(height));
    riff.u16(1); // planes
    riff.u16(24); // bits per pixel
    riff.fourcc("MJPG");
    riff.u32(quint32(width * height * 3));
    for (int i = 0; i < 4; ++i)
        riff.u32(0);
    riff.close();
    riff.close(); // strl
    riff.close(); // hdrl

    riff.open("LIST", "movi");
    // Index offsets count from the "movi" type code.
    const qsizetype moviStart = riff.size() - 4;
    QList<QPair<quint32, quint32>> index;
    for (const QByteArray &picture : std::as_const(pictures)) {
        index.append({quint32(riff.size() - moviStart), quint32(picture.size())});
        riff.open("00dc");
        riff.bytes(picture);
        riff.close();
    }
    riff.close(); // movi

    riff.open("idx1");
    for (const auto &[offset, size] : std::as_const(index)) {
        riff.fourcc("00dc");
        riff.u32(0x10); // AVIIF_KEYFRAME
        riff.u32(offset);
        riff.u32(size);
    }
    riff.close();
    riff.close(); // RIFF
    return riff.take();
}

QByteArray renderClipPosterPng(quint64 seed, const QString &label, int size)
{
    size = qBound(1, size, 2048);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    renderFrame(seed, label, 0, 0, size, size).save(&buffer, "PNG");
    return bytes;
}

} // namespace devservice
