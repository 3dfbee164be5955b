#include "shell/flowlayout.h"

#include <algorithm>

namespace nimbra {

FlowLayout::Arrangement FlowLayout::arrange(const QList<QSizeF> &sizes, std::optional<qreal> width, qreal spacing)
{
    Arrangement result;
    qreal x = 0;
    qreal y = 0;
    qreal rowHeight = 0;
    qreal widest = 0;
    for (const QSizeF &size : sizes) {
        if (width && x > 0 && x + size.width() > *width) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        result.frames.append(QRectF(QPointF(x, y), size));
        widest = std::max(widest, x + size.width());
        rowHeight = std::max(rowHeight, size.height());
        x += size.width() + spacing;
    }
    // Without a width everything is one row: its own width is the answer.
    result.size = QSizeF(width ? *width : widest, y + rowHeight);
    return result;
}

FlowLayout::FlowLayout(QQuickItem *parent) : QQuickItem(parent) { }

void FlowLayout::setSpacing(qreal spacing)
{
    if (qFuzzyCompare(m_spacing, spacing))
        return;
    m_spacing = spacing;
    emit spacingChanged();
    polish();
}

void FlowLayout::itemChange(ItemChange change, const ItemChangeData &data)
{
    if (change == ItemChildAddedChange) {
        QQuickItem *child = data.item;
        connect(child, &QQuickItem::implicitWidthChanged, this, &QQuickItem::polish);
        connect(child, &QQuickItem::implicitHeightChanged, this, &QQuickItem::polish);
        polish();
    } else if (change == ItemChildRemovedChange) {
        disconnect(data.item, nullptr, this, nullptr);
        polish();
    }
    QQuickItem::itemChange(change, data);
}

void FlowLayout::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.width() != oldGeometry.width())
        polish();
}

QList<QQuickItem *> FlowLayout::laidOutItems() const
{
    QList<QQuickItem *> items;
    const QList<QQuickItem *> children = childItems();
    // A Repeater is a child too, but only a factory of the real ones.
    std::copy_if(children.begin(), children.end(), std::back_inserter(items),
        [](QQuickItem *child) { return !child->inherits("QQuickRepeater"); });
    return items;
}

void FlowLayout::updatePolish()
{
    const QList<QQuickItem *> items = laidOutItems();
    QList<QSizeF> sizes;
    sizes.reserve(items.size());
    for (QQuickItem *item : items)
        sizes.append(QSizeF(item->implicitWidth(), item->implicitHeight()));

    setImplicitWidth(arrange(sizes, std::nullopt, m_spacing).size.width());
    const std::optional<qreal> proposed = widthValid() ? std::optional<qreal>(width()) : std::nullopt;
    const Arrangement arrangement = arrange(sizes, proposed, m_spacing);
    setImplicitHeight(arrangement.size.height());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QRectF &frame = arrangement.frames.at(i);
        items.at(i)->setPosition(frame.topLeft());
        items.at(i)->setSize(frame.size());
    }
}

} // namespace nimbra
