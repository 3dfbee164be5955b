#include "platform/coverimages.h"

#include "platform/coverimageprovider.h"
#include "platform/roundedcorners.h"

#include <QBuffer>
#include <QImageReader>
#include <QQmlEngine>

#include <cmath>

namespace nimbra {

namespace {

constexpr auto idEncoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

QImage cropToFill(QImageReader &reader, QSize size)
{
    const QSize original = reader.size();
    if (original.isValid() && !original.isEmpty()) {
        const double scale = std::max(double(size.width()) / original.width(),
                                      double(size.height()) / original.height());
        const QSize scaled(std::max(size.width(), int(std::ceil(original.width() * scale))),
                           std::max(size.height(), int(std::ceil(original.height() * scale))));
        reader.setScaledSize(scaled);
        reader.setScaledClipRect(QRect(QPoint((scaled.width() - size.width()) / 2,
                                              (scaled.height() - size.height()) / 2), size));
    }
    QImage image = reader.read();
    if (image.isNull() || image.size() == size)
        return image;
    // A format that ignored the scaling hints: scale and crop here.
    image = image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return image.copy(QRect(QPoint((image.width() - size.width()) / 2, (image.height() - size.height()) / 2), size));
}

// The picture's format from its first bytes. A reader that may find the
// format by itself loads every installed image plugin (the SVG one with
// Qt's SVG module) to let each one look at the bytes; one told the format,
// and not to look, loads that format's plugin only.
QByteArray formatOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (bytes.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP")
        return QByteArrayLiteral("webp");
    return {};
}

} // namespace

CoverImages::CoverImages(QObject *parent)
    : QObject(parent)
{
}

QUrl CoverImages::source(const QUrl &cover, qreal radius, int corners) const
{
    if (cover.isEmpty())
        return {};
    const int corner = std::max(0, int(std::lround(radius)));
    corners &= Corners::all;
    // "radius" rounds every corner, "radius:corners" some of them.
    const QString rounding = corners == Corners::all ? QString::number(corner)
                                                     : QStringLiteral("%1:%2").arg(corner).arg(corners);
    return QUrl(QStringLiteral("image://%1/%2/%3")
                    .arg(QLatin1String(providerId), rounding,
                         QString::fromLatin1(cover.toEncoded().toBase64(idEncoding))));
}

bool CoverImages::parse(const QString &id, QUrl *cover, qreal *radius, int *corners)
{
    const qsizetype slash = id.indexOf(u'/');
    if (slash <= 0)
        return false;
    const QStringView rounding = QStringView(id).left(slash);
    const qsizetype colon = rounding.indexOf(u':');
    bool ok = false;
    const int corner = rounding.left(colon).toInt(&ok);
    if (!ok || corner < 0)
        return false;
    int which = Corners::all;
    if (colon >= 0) {
        which = rounding.mid(colon + 1).toInt(&ok);
        if (!ok || which < 0 || which > Corners::all)
            return false;
    }
    const auto decoded = QByteArray::fromBase64Encoding(id.mid(slash + 1).toLatin1(), idEncoding);
    if (!decoded)
        return false;
    const QUrl url = QUrl::fromEncoded(*decoded, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return false;
    *cover = url;
    *radius = corner;
    if (corners)
        *corners = which;
    return true;
}

void CoverImages::install(QQmlEngine &engine)
{
    if (engine.imageProvider(QLatin1String(providerId)))
        return;
    engine.addImageProvider(QLatin1String(providerId), new CoverImageProvider(engine.networkAccessManagerFactory()));
}

QImage CoverImages::decode(const QByteArray &bytes, QSize size, qreal radius, int corners)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (const QByteArray format = formatOf(bytes); !format.isEmpty()) {
        reader.setFormat(format);
        reader.setAutoDetectImageFormat(false);
    }
    reader.setAutoTransform(true);
    QImage picture = size.isValid() && !size.isEmpty() ? cropToFill(reader, size) : reader.read();
    return withRoundedCorners(picture, radius, corners);
}

} // namespace nimbra
