#pragma once

#include "account/qrcode.h"

#include <QColor>
#include <QQuickPaintedItem>

#include <optional>

namespace nimbra {

// Shows the QR code of `content`, as large as fits the item and centred,
// with sharp module edges. When there is no code for the content (empty,
// or too long) it fills itself with `placeholderColor` instead.
class QrCodeView : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString content READ content WRITE setContent NOTIFY contentChanged)
    Q_PROPERTY(QColor placeholderColor READ placeholderColor WRITE setPlaceholderColor NOTIFY placeholderColorChanged)
    Q_PROPERTY(bool hasCode READ hasCode NOTIFY contentChanged)
public:
    explicit QrCodeView(QQuickItem *parent = nullptr);

    QString content() const { return m_content; }
    void setContent(const QString &content);
    QColor placeholderColor() const { return m_placeholder; }
    void setPlaceholderColor(const QColor &color);
    bool hasCode() const { return m_code.has_value(); }

    void paint(QPainter *painter) override;

signals:
    void contentChanged();
    void placeholderColorChanged();

private:
    QString m_content;
    std::optional<QrCode> m_code;
    QColor m_placeholder = Qt::gray;
};

} // namespace nimbra
