#include "shell/windowlayer.h"

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

} // namespace

WindowLayer::WindowLayer(QObject *parent) : QObject(parent)
{
    liveLayers().append(this);
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

void WindowLayer::restack()
{
    WindowLayer *top = topmost();
    // Everyone gives Esc up before the new top takes it, so that no
    // moment has two layers answering.
    QList<QPointer<WindowLayer>> changed;
    for (WindowLayer *layer : std::as_const(liveLayers())) {
        const bool answers = layer == top;
        if (layer->m_answersEscape != answers) {
            layer->m_answersEscape = answers;
            changed.append(layer);
        }
    }
    std::stable_partition(changed.begin(), changed.end(), [](const QPointer<WindowLayer> &layer) { return !layer->m_answersEscape; });
    // A handler may close or delete a layer; what it left is told later.
    for (const QPointer<WindowLayer> &layer : std::as_const(changed)) {
        if (layer)
            emit layer->answersEscapeChanged();
    }
}

} // namespace nimbra
