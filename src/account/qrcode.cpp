#include "account/qrcode.h"

#include <QPainter>

#include <qrencode.h>

#include <cmath>
#include <memory>

namespace nimbra {

std::optional<QrCode> QrCode::encode(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        return std::nullopt;
    // Byte mode for the whole text, as a scanner reading a link expects;
    // version 0 lets the library pick the smallest that fits.
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(
            int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.constData()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code || code->width <= 0)
        return std::nullopt;

    QrCode result;
    result.m_size = code->width;
    result.m_dark.resize(qsizetype(code->width) * code->width);
    for (qsizetype i = 0; i < result.m_dark.size(); ++i)
        result.m_dark[i] = (code->data[i] & 1) != 0; // bit 0: dark module
    return result;
}

QImage QrCode::image(const QString &text)
{
    const std::optional<QrCode> code = encode(text);
    return code ? code->toImage() : QImage();
}

QImage QrCode::toImage(int modulePixels) const
{
    const int side = paddedSize() * std::max(1, modulePixels);
    QImage image(side, side, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, QRectF(0, 0, side, side));
    return image;
}

void QrCode::paint(QPainter &painter, const QRectF &target) const
{
    const qreal side = std::floor(std::min(target.width(), target.height()));
    if (side <= 0 || m_size == 0)
        return;
    const qreal left = std::round(target.left() + (target.width() - side) / 2);
    const qreal top = std::round(target.top() + (target.height() - side) / 2);
    const int modules = paddedSize();
    const auto edge = [&](int index) { return std::round(index * side / modules); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRectF(left, top, side, side), Qt::white);
    for (int y = 0; y < m_size; ++y) {
        const qreal y0 = edge(y + quietZone);
        const qreal y1 = edge(y + quietZone + 1);
        // Runs of dark modules along a row are drawn as one rectangle.
        int x = 0;
        while (x < m_size) {
            if (!isDark(x, y)) {
                ++x;
                continue;
            }
            const int runStart = x;
            while (x < m_size && isDark(x, y))
                ++x;
            const qreal x0 = edge(runStart + quietZone);
            const qreal x1 = edge(x + quietZone);
            painter.fillRect(QRectF(left + x0, top + y0, x1 - x0, y1 - y0), Qt::black);
        }
    }
    painter.restore();
}

} // namespace nimbra
