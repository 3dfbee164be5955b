#include "screentest.h"

#include "eventloop.h"

#include <QDir>
#include <QPointer>
#include <QRectF>
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

bool waitUntilActive(QQuickWindow *window)
{
    if (!window || !QTest::qWaitForWindowExposed(window, kEventLimitMs))
        return false;
    window->requestActivate();
    return QTest::qWaitForWindowActive(window, kEventLimitMs);
}

bool waitUntilStill(QQuickItem *item)
{
    const QPointer<QQuickItem> watched(item);
    if (!watched)
        return false;
    // Still means the same place and size on a few samples in a row, taken
    // further apart than an animation's frames, with the pixel that a click
    // would hit inside the window (a layer that slides in may wait outside
    // before it moves, or stall on its very edge while its content is made).
    const auto geometry = [&watched] { return watched->mapRectToScene(watched->boundingRect()); };
    const auto inWindow = [&watched](const QRectF &area) {
        const QQuickWindow *window = watched->window();
        return window && QRect(QPoint(), window->size()).contains(area.center().toPoint());
    };
    QRectF last = geometry();
    int steady = 0;
    const bool still = QTest::qWaitFor(
        [&] {
            if (!watched)
                return true;
            const QRectF now = geometry();
            steady = now == last && inWindow(now) ? steady + 1 : 0;
            last = now;
            return steady >= 3;
        },
        kEventLimitMs);
    return still && watched;
}

bool waitUntilSettled(QQuickWindow *window)
{
    if (!window)
        return false;
    const auto busy = [window] {
        QList<QQuickItem *> pending {window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            // Image.Loading, and StackView.busy during a push or pop. An
            // image counts while it loads even when it hides itself until
            // it has loaded (as Artwork's does), as long as what holds it
            // is shown.
            const QVariant status = item->property("status");
            if (item->inherits("QQuickImageBase") && status.toInt() == 2)
                return true;
            if (!item->isVisible())
                continue;
            pending += item->childItems();
            if (item->property("busy").toBool() && item->inherits("QQuickStackView"))
                return true;
        }
        return false;
    };
    return QTest::qWaitFor([&] { return !busy(); }, kEventLimitMs);
}

bool click(QQuickWindow *window, QQuickItem *item)
{
    if (!window || !item || !waitUntilStill(item))
        return false;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
    return true;
}

bool typeText(QQuickWindow *window, QQuickItem *field, const QString &text)
{
    if (!click(window, field))
        return false;
    if (!QTest::qWaitFor([field] { return field->hasActiveFocus(); }, kEventLimitMs))
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
