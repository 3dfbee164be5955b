#pragma once

class QCoreApplication;
class QQuickItem;
class QQuickWindow;

namespace nimbra {

// Keyboard focus chores of the window: dropping focus when an overlay covers
// the screens, keeping it out of text inputs while one is shown, and keeping
// every control free of keyboard focus frames. (Buttons stay out of the Tab
// chain altogether with focusPolicy: Qt.NoFocus, so Tab moves only between
// text fields.)
class FocusHelper
{
public:
    FocusHelper() = delete;

    // Ends any typing in progress (pre-edit text of an input method is
    // committed) and leaves no item of window with keyboard focus. A null
    // window does nothing, nor does a window whose keys a sheet holds: a
    // sheet lies over whatever opened under it, and keeps its keys.
    static void clearKeyboardFocus(QQuickWindow *window);
    // The same for the application's focus window, when it is a Qt Quick one.
    static void clearKeyboardFocus();

    // Items that keep focus for typing or scrolling: text fields and editors,
    // flickables (lists, grids), scroll views, and the current delegate of a
    // list or grid that holds the list's focus.
    static bool isTextOrScrollItem(const QQuickItem *item);

    // An item of a sheet or popup, which lies over every layer of the window.
    static bool isInSheet(const QQuickItem *item);

    // When the active focus item of sink's window is a text or scroll item
    // outside a sheet, moves keyboard focus to sink (which ignores keys) and
    // returns true.
    static bool redirectFromTextAndScroll(QQuickItem *sink);

    // Installs, once per application, a filter that lets a control take
    // keyboard focus by Tab or shortcut without turning on its visual focus,
    // so no control style ever draws a focus frame. Tabbing still moves focus.
    static void suppressFocusFrames(QCoreApplication *app);
};

} // namespace nimbra
