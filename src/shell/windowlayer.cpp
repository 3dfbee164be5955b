#include "shell/windowlayer.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QList>
#include <QPointer>

#include <algorithm>

namespace nimbra {

namespace {

QList<WindowLayer *> &liveLayers()
{
    static QList<WindowLayer *> layers;
    return layers;
}

// Takes an Esc that no shortcut answered (no layer can answer while the top
// one is being made) before it reaches whatever holds the keyboard.
class EscapeHold : public QObject
{
public:
    static void install()
    {
        static QPointer<EscapeHold> hold;
        if (hold || !QCoreApplication::instance())
            return;
        hold = new EscapeHold(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(hold);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            return WindowLayer::holdEscape();
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
};

} // namespace

WindowLayer::WindowLayer(QObject *parent) : QObject(parent)
{
    liveLayers().append(this);
    EscapeHold::install();
}

WindowLayer::~WindowLayer()
{
    liveLayers().removeOne(this);
    if (m_open)
        restack();
}

void WindowLayer::setKind(Kind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    emit kindChanged();
    restack();
}

void WindowLayer::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    emit openChanged();
    restack();
}

void WindowLayer::setReady(bool ready)
{
    if (m_ready == ready)
        return;
    m_ready = ready;
    emit readyChanged();
    restack();
}

QQmlListProperty<QObject> WindowLayer::data()
{
    return QQmlListProperty<QObject>(
        this, nullptr,
        [](QQmlListProperty<QObject> *list, QObject *object) {
            auto *layer = static_cast<WindowLayer *>(list->object);
            // Its shortcut finds the window through its parents.
            object->setParent(layer);
            layer->m_data.append(object);
        },
        [](QQmlListProperty<QObject> *list) { return static_cast<WindowLayer *>(list->object)->m_data.size(); },
        [](QQmlListProperty<QObject> *list, qsizetype i) { return static_cast<WindowLayer *>(list->object)->m_data.at(i); },
        [](QQmlListProperty<QObject> *list) { static_cast<WindowLayer *>(list->object)->m_data.clear(); });
}

WindowLayer *WindowLayer::topmost()
{
    WindowLayer *top = nullptr;
    for (WindowLayer *layer : std::as_const(liveLayers())) {
        if (layer->m_open && (!top || layer->m_kind > top->m_kind))
            top = layer;
    }
    return top;
}

void WindowLayer::closeAll(Kind kind)
{
    QList<QPointer<WindowLayer>> open;
    for (WindowLayer *layer : std::as_const(liveLayers())) {
        if (layer->m_open && layer->m_kind == kind)
            open.append(layer);
    }
    for (const QPointer<WindowLayer> &layer : std::as_const(open)) {
        if (layer)
            emit layer->closeRequested();
    }
}

bool WindowLayer::holdEscape()
{
    WindowLayer *top = topmost();
    if (!top || top->m_ready)
        return false;
    // Several presses before it can answer are one wish.
    top->m_escapeHeld = true;
    return true;
}

void WindowLayer::restack()
{
    const QPointer<WindowLayer> top = topmost();
    // Everyone gives Esc up before the new top takes it, so that no
    // moment has two layers answering.
    QList<QPointer<WindowLayer>> changed;
    for (WindowLayer *layer : std::as_const(liveLayers())) {
        const bool answers = layer == top.data() && layer->m_ready;
        if (layer->m_answersEscape != answers) {
            layer->m_answersEscape = answers;
            changed.append(layer);
        }
        // A kept Esc belongs to the layer it waited for, and goes with it
        // when another layer comes over it or it closes.
        if (layer != top.data())
            layer->m_escapeHeld = false;
    }
    std::stable_partition(changed.begin(), changed.end(), [](const QPointer<WindowLayer> &layer) { return !layer->m_answersEscape; });
    // A handler may close or delete a layer; what it left is told later.
    for (const QPointer<WindowLayer> &layer : std::as_const(changed)) {
        if (layer)
            emit layer->answersEscapeChanged();
    }
    if (top && top->m_answersEscape && top->m_escapeHeld) {
        top->m_escapeHeld = false;
        // From the event loop, not from inside the making that made it
        // ready: the handler may close the layer and restack again.
        QMetaObject::invokeMethod(
            top,
            [layer = top] {
                if (layer && layer->m_answersEscape)
                    emit layer->escapePressed();
            },
            Qt::QueuedConnection);
    }
}

} // namespace nimbra
