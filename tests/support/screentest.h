#pragma once

#include <QImage>
#include <QString>

class QQuickItem;
class QQuickWindow;

// What screen tests do to a window: find an item by objectName anywhere in
// it (popups and sheets live in the window's overlay, beside the screen),
// ask whether it is on screen, click it, type into it, and save a picture
// into build/screenshots for a reviewer.
namespace nimbra::test {

// Breadth-first through the visual tree under root (delegates and the
// content of controls included); null when absent.
QQuickItem *findItem(QQuickItem *root, const QString &objectName);
// Anywhere in the window, its overlay included.
QQuickItem *findItem(QQuickWindow *window, const QString &objectName);

// Visible and not faded out, all the way up.
bool isShown(QQuickItem *item);

// Waits until the window is exposed, then activates it: on a display
// without a window manager (Xvfb) nothing else does, and an inactive window
// matches no shortcut (a layer's Esc). False when either never came.
[[nodiscard]] bool waitUntilActive(QQuickWindow *window);

// Waits until the item has stopped moving (a layer sliding in, rows
// closing up after a removal) so that a click lands where the test aimed;
// false when it was still moving after a few seconds, or went.
[[nodiscard]] bool waitUntilStill(QQuickItem *item);
// Waits until no image of the window is still loading and no page stack is
// in a transition, so that a picture shows the screen as the listener sees
// it; false when it had not settled after twenty seconds.
[[nodiscard]] bool waitUntilSettled(QQuickWindow *window);

// A left click at the item's centre once it stands still; false when there
// is no item or it never stood still.
bool click(QQuickWindow *window, QQuickItem *item);
// Clicks the field, waits for its focus and types the text key by key
// (Latin-1 keys); false when the field never took the focus.
bool typeText(QQuickWindow *window, QQuickItem *field, const QString &text);

// Writes image to build/screenshots/<name>.png; false when it could not.
bool saveScreenshot(const QImage &image, const QString &name);

} // namespace nimbra::test
