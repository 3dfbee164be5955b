#include "platform/pointermotion.h"

#include <QEvent>

namespace nimbra {

namespace {

quint64 movesSeen = 0;

} // namespace

void PointerMotion::watch(QObject *window)
{
    window->installEventFilter(new PointerMotion(window));
}

quint64 PointerMotion::moves()
{
    return movesSeen;
}

bool PointerMotion::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        ++movesSeen;
    return false;
}

} // namespace nimbra
