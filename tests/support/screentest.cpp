#include "screentest.h"

#include <QDir>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace nimbra::test {

QQuickItem *findItem(QQuickItem *root, const QString &objectName)
{
    QList<QQuickItem *> pending;
    if (root)
        pending.append(root);
    while (!pending.isEmpty()) {
        QQuickItem *item = pending.takeFirst();
        if (item->objectName() == objectName)
            return item;
        pending += item->childItems();
    }
    return nullptr;
}

QQuickItem *findItem(QQuickWindow *window, const QString &objectName)
{
    return window ? findItem(window->contentItem(), objectName) : nullptr;
}

bool isShown(QQuickItem *item)
{
    for (QQuickItem *up = item; up; up = up->parentItem())
        if (!up->isVisible() || up->opacity() <= 0.0)
            return false;
    return item != nullptr;
}

bool click(QQuickWindow *window, QQuickItem *item)
{
    if (!window || !item)
        return false;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
    return true;
}

bool typeText(QQuickWindow *window, QQuickItem *field, const QString &text)
{
    if (!click(window, field))
        return false;
    if (!QTest::qWaitFor([field] { return field->hasActiveFocus(); }))
        return false;
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
    return true;
}

bool saveScreenshot(const QImage &image, const QString &name)
{
    if (image.isNull() || !QDir().mkpath(QStringLiteral(NIMBRA_SCREENSHOT_DIR)))
        return false;
    const QString path = QStringLiteral(NIMBRA_SCREENSHOT_DIR "/") + name + QStringLiteral(".png");
    if (!image.save(path))
        return false;
    qInfo("screen written to %s", qPrintable(path));
    return true;
}

} // namespace nimbra::test
