#include "platform/focushelper.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

namespace nimbra {

namespace {

bool isKeyboardReason(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

// Qt Quick Controls draw a focus frame when a control got focus from the
// keyboard (its visualFocus). Redelivering such a focus-in with a neutral
// reason keeps the frame off while focus itself moves as usual.
class FocusFrameFilter : public QObject
{
public:
    explicit FocusFrameFilter(QObject *parent) : QObject(parent) { setObjectName(name()); }
    static QString name() { return QStringLiteral("nimbra-focus-frame-filter"); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::FocusIn)
            return false;
        const auto *focusIn = static_cast<QFocusEvent *>(event);
        if (!isKeyboardReason(focusIn->reason()) || !qobject_cast<QQuickItem *>(watched))
            return false;
        if (watched->metaObject()->indexOfProperty("visualFocus") < 0)
            return false;
        QFocusEvent neutral(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(watched, &neutral);
        return true;
    }
};

} // namespace

bool FocusHelper::isInSheet(const QQuickItem *item)
{
    for (const QQuickItem *ancestor = item; ancestor; ancestor = ancestor->parentItem()) {
        if (ancestor->inherits("QQuickPopupItem"))
            return true;
    }
    return false;
}

void FocusHelper::clearKeyboardFocus(QQuickWindow *window)
{
    if (!window || isInSheet(window->activeFocusItem()))
        return;
    if (QGuiApplication::focusWindow() == window)
        QGuiApplication::inputMethod()->commit();
    QQuickItem *root = window->contentItem();
    // Focus scopes keep a focused child of their own, so dropping focus from
    // the active item alone can leave it with its scope; walk up until the
    // window's root holds the focus and nothing under it does.
    for (int guard = 0; guard < 64; ++guard) {
        QQuickItem *focused = window->activeFocusItem();
        if (!focused || focused == root)
            break;
        focused->setFocus(false, Qt::OtherFocusReason);
        if (window->activeFocusItem() == focused) {
            root->forceActiveFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void FocusHelper::clearKeyboardFocus()
{
    clearKeyboardFocus(qobject_cast<QQuickWindow *>(QGuiApplication::focusWindow()));
}

bool FocusHelper::isTextOrScrollItem(const QQuickItem *item)
{
    const auto isTextOrScroll = [](const QQuickItem *candidate) {
        return candidate->inherits("QQuickTextInput") || candidate->inherits("QQuickTextEdit")
            || candidate->inherits("QQuickFlickable") || candidate->inherits("QQuickScrollView");
    };
    if (!item)
        return false;
    if (isTextOrScroll(item))
        return true;
    // A list or grid hands its focus to its current delegate, which then
    // takes the list's keys: that delegate counts as the list. A control in
    // a row keeps its own focus.
    if (item->inherits("QQuickControl"))
        return false;
    for (const QQuickItem *scope = item->parentItem(); scope; scope = scope->parentItem()) {
        if (scope->isFocusScope())
            return isTextOrScroll(scope);
    }
    return false;
}

bool FocusHelper::redirectFromTextAndScroll(QQuickItem *sink)
{
    if (!sink || !sink->window())
        return false;
    QQuickItem *focused = sink->window()->activeFocusItem();
    if (!focused || focused == sink || !isTextOrScrollItem(focused) || isInSheet(focused))
        return false;
    if (QGuiApplication::focusWindow() == sink->window())
        QGuiApplication::inputMethod()->commit();
    sink->forceActiveFocus(Qt::OtherFocusReason);
    return sink->hasActiveFocus();
}

void FocusHelper::suppressFocusFrames(QCoreApplication *app)
{
    if (!app || app->findChild<QObject *>(FocusFrameFilter::name(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new FocusFrameFilter(app));
}

} // namespace nimbra
