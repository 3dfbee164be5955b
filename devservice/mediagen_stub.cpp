// Temporary stand-in for the real media generator: silent audio and a flat
// grey cover. Compiles to nothing once mediagen.h exists; delete it then.
#if !__has_include("mediagen.h")

#include "mediagen_stub.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QtEndian>

namespace devservice {

namespace {

void appendLe32(QByteArray &out, quint32 value)
{
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&value), 4);
}

void appendLe16(QByteArray &out, quint16 value)
{
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&value), 2);
}

} // namespace

QByteArray renderWav(quint64, int seconds)
{
    constexpr quint32 rate = 22050;
    const quint32 dataBytes = rate * 2 * quint32(qMax(0, seconds));
    QByteArray out;
    out.reserve(44 + int(dataBytes));
    out.append("RIFF");
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    appendLe32(out, 16);
    appendLe16(out, 1); // PCM
    appendLe16(out, 1); // mono
    appendLe32(out, rate);
    appendLe32(out, rate * 2);
    appendLe16(out, 2);
    appendLe16(out, 16);
    out.append("data");
    appendLe32(out, dataBytes);
    out.append(QByteArray(int(dataBytes), '\0'));
    return out;
}

QByteArray renderFlac(quint64 seed, int seconds)
{
    // Not FLAC at all: only the real generator encodes it.
    return renderWav(seed, seconds);
}

QByteArray renderCoverPng(quint64, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

} // namespace devservice

#endif
