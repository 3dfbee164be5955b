#include "platform/focussuppressor.h"

#include "platform/focushelper.h"

#include <QQuickWindow>

namespace nimbra {

FocusSuppressor::FocusSuppressor(QQuickItem *parent) : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
    setActiveFocusOnTab(false);
}

void FocusSuppressor::setRefresh(const QVariant &refresh)
{
    if (m_refresh == refresh)
        return;
    m_refresh = refresh;
    emit refreshChanged();
    pass();
    passSoon();
}

void FocusSuppressor::itemChange(ItemChange change, const ItemChangeData &data)
{
    QQuickItem::itemChange(change, data);
    if (change == ItemSceneChange)
        watchWindow(data.window);
    else if (change == ItemVisibleHasChanged && data.boolValue)
        passSoon();
}

void FocusSuppressor::watchWindow(QQuickWindow *window)
{
    if (m_window == window)
        return;
    disconnect(m_focusConnection);
    m_window = window;
    if (!window)
        return;
    // Focus changes are signalled, so there is nothing to poll: every change
    // is looked at once the change itself has finished.
    m_focusConnection = connect(window, &QQuickWindow::activeFocusItemChanged, this, &FocusSuppressor::passSoon);
    passSoon();
}

void FocusSuppressor::pass()
{
    if (!isVisible() || !window())
        return;
    FocusHelper::redirectFromTextAndScroll(this);
}

void FocusSuppressor::passSoon()
{
    if (m_passQueued)
        return;
    m_passQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_passQueued = false;
            pass();
        },
        Qt::QueuedConnection);
}

} // namespace nimbra
