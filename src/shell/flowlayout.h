#pragma once

#include <QList>
#include <QQuickItem>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace nimbra {

// Lays its child items out left to right at their implicit sizes and starts
// a new row when the next one would end past the width. The first item of
// a row stays there however wide it is (it overflows). An item whose width
// was set from outside proposes that width; otherwise no width is proposed
// and everything stands in one row, whose width the item then reports as
// its implicit width (never an unbounded one).
class FlowLayout : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(qreal spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)

public:
    struct Arrangement
    {
        QSizeF size;
        QList<QRectF> frames;
    };

    // The one pass behind sizing and placing. spacing is the gap between
    // neighbours of a row and between rows; it counts in the wrap test, and
    // an item ending exactly at the width stays on its row.
    static Arrangement arrange(const QList<QSizeF> &sizes, std::optional<qreal> width, qreal spacing);

    explicit FlowLayout(QQuickItem *parent = nullptr);

    qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing);

signals:
    void spacingChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData &data) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void updatePolish() override;

private:
    QList<QQuickItem *> laidOutItems() const;

    qreal m_spacing = 0;
};

} // namespace nimbra
