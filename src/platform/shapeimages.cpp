#include "platform/shapeimages.h"

#include "platform/roundedcorners.h"

#include <QLinearGradient>
#include <QPainter>
#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QtMath>

#include <cmath>

namespace nimbra {

namespace {

// One filled rounded rectangle of a picture, in device pixels.
struct Layer
{
    QRectF rect;
    qreal radius = 0;
    QColor top;
    QColor bottom;
};

constexpr int largestSide = 4096;

QString number(qreal value)
{
    return QString::number(std::round(value * 100) / 100, 'f', 2);
}

QString colourText(const QColor &colour)
{
    return colour.name(QColor::HexArgb).mid(1);
}

// "W,H" then ";x,y,w,h,radius,top,bottom" for each layer, colours as AARRGGBB.
QUrl address(QSizeF picture, const QList<Layer> &layers)
{
    QStringList parts {number(picture.width()) + u',' + number(picture.height())};
    for (const Layer &layer : layers) {
        parts.append(QStringList {number(layer.rect.x()), number(layer.rect.y()), number(layer.rect.width()),
            number(layer.rect.height()), number(layer.radius), colourText(layer.top), colourText(layer.bottom)}
                .join(u','));
    }
    return QUrl(QStringLiteral("image://%1/%2").arg(QLatin1String(ShapeImages::providerId), parts.join(u';')));
}

bool parseColour(QStringView text, QColor *colour)
{
    bool ok = false;
    const uint argb = text.toUInt(&ok, 16);
    if (!ok || text.size() != 8)
        return false;
    *colour = QColor::fromRgba(argb);
    return true;
}

class ShapeProvider : public QQuickImageProvider
{
public:
    ShapeProvider()
        : QQuickImageProvider(QQuickImageProvider::Image)
    {
    }

    QImage requestImage(const QString &id, QSize *size, const QSize &) override
    {
        QImage image = ShapeImages::paint(id);
        if (size)
            *size = image.size();
        return image;
    }
};

} // namespace

ShapeImages::ShapeImages(QObject *parent)
    : QObject(parent)
{
}

QUrl ShapeImages::rounded(QSizeF size, qreal radius, const QColor &top, const QColor &bottom, qreal scale) const
{
    if (size.isEmpty() || scale <= 0)
        return {};
    const QSizeF picture = size * scale;
    return address(picture, {{QRectF(QPointF(), picture), radius * scale, top, bottom}});
}

QUrl ShapeImages::discShadow(QSizeF size, qreal radius, const QColor &colour, qreal step, qreal scale) const
{
    if (size.isEmpty() || scale <= 0)
        return {};
    const qreal widest = 2 + 2 * step;
    QList<Layer> rings;
    for (const qreal spread : {widest, 2 + step, 2.0}) {
        const qreal inset = (widest - spread) * scale;
        const QSizeF ring = (size + QSizeF(2 * spread, 2 * spread)) * scale;
        rings.append({QRectF(QPointF(inset, inset), ring), (radius + spread) * scale, colour, colour});
    }
    return address((size + QSizeF(2 * widest, 2 * widest)) * scale, rings);
}

void ShapeImages::install(QQmlEngine &engine)
{
    if (!engine.imageProvider(QLatin1String(providerId)))
        engine.addImageProvider(QLatin1String(providerId), new ShapeProvider);
}

QImage ShapeImages::paint(const QString &id)
{
    const QList<QStringView> parts = QStringView(id).split(u';');
    const QList<QStringView> side = parts.constFirst().split(u',');
    bool okWidth = false;
    bool okHeight = false;
    const QSize picture(qCeil(side.value(0).toDouble(&okWidth)), qCeil(side.value(1).toDouble(&okHeight)));
    if (side.size() != 2 || !okWidth || !okHeight || picture.isEmpty() || picture.width() > largestSide
        || picture.height() > largestSide || parts.size() < 2)
        return {};
    QList<Layer> layers;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QList<QStringView> fields = parts.at(i).split(u',');
        if (fields.size() != 7)
            return {};
        qreal values[5];
        for (int f = 0; f < 5; ++f) {
            bool ok = false;
            values[f] = fields.at(f).toDouble(&ok);
            if (!ok || values[f] < 0)
                return {};
        }
        Layer layer {QRectF(values[0], values[1], values[2], values[3]), values[4], {}, {}};
        if (!parseColour(fields.at(5), &layer.top) || !parseColour(fields.at(6), &layer.bottom))
            return {};
        layers.append(layer);
    }

    QImage image(picture, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const Layer &layer : layers) {
        if (layer.top == layer.bottom) {
            painter.setBrush(layer.top);
        } else {
            QLinearGradient gradient(layer.rect.topLeft(), layer.rect.bottomLeft());
            gradient.setColorAt(0, layer.top);
            gradient.setColorAt(1, layer.bottom);
            painter.setBrush(gradient);
        }
        painter.drawPath(roundedRectPath(layer.rect, layer.radius));
    }
    return image;
}

} // namespace nimbra
