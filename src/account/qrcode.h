#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>

#include <optional>

class QPainter;

namespace nimbra {

// A QR code of a text: the UTF-8 bytes of the text in byte mode at error
// correction level M, the smallest version that holds them. Drawn black on
// white with a quiet zone of one module on every side.
class QrCode
{
public:
    static constexpr int quietZone = 1;
    static constexpr int defaultModulePixels = 10;

    // Nothing for an empty text or one too long for any version.
    static std::optional<QrCode> encode(const QString &text);
    // The code of text drawn with modules of defaultModulePixels, or a null
    // image when there is no code for it.
    static QImage image(const QString &text);

    // Modules along one side, quiet zone not counted.
    int size() const { return m_size; }
    // Modules along one side with the quiet zone on both sides.
    int paddedSize() const { return m_size + 2 * quietZone; }
    bool isDark(int x, int y) const { return m_dark.at(y * m_size + x); }

    // A square image of modulePixels by modulePixels per module.
    QImage toImage(int modulePixels = defaultModulePixels) const;
    // Draws the code, quiet zone included, as the largest square that fits
    // target, centred. Module edges fall on whole pixels (some modules are a
    // pixel wider than others) so they stay sharp at any size.
    void paint(QPainter &painter, const QRectF &target) const;

private:
    int m_size = 0;
    QVector<bool> m_dark;
};

} // namespace nimbra
