#include "account/qrcodeview.h"

#include <QPainter>

namespace nimbra {

QrCodeView::QrCodeView(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
    setOpaquePainting(false);
}

void QrCodeView::setContent(const QString &content)
{
    if (m_content == content)
        return;
    m_content = content;
    m_code = QrCode::encode(content);
    emit contentChanged();
    update();
}

void QrCodeView::setPlaceholderColor(const QColor &color)
{
    if (m_placeholder == color)
        return;
    m_placeholder = color;
    emit placeholderColorChanged();
    if (!m_code)
        update();
}

void QrCodeView::paint(QPainter *painter)
{
    const QRectF area(0, 0, width(), height());
    if (!m_code) {
        painter->fillRect(area, m_placeholder);
        return;
    }
    m_code->paint(*painter, area);
}

} // namespace nimbra
