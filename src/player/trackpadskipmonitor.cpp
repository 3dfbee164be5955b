#include "player/trackpadskipmonitor.h"

#include "api/storeregistry.h"
#include "player/playerstore.h"

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QQuickWindow>
#include <QWheelEvent>

namespace nimbra {

namespace {

using Phase = TrackpadSkipRecognizer::Phase;

// Libinput on X11 reports a trackpad's travel only as angles, at 8 angle
// units per pixel; Qt leaves its pixel delta empty there.
constexpr double angleUnitsPerPixel = 8.0;

TrackpadSkipRecognizer::Scroll scrollOf(const QWheelEvent &event)
{
    TrackpadSkipRecognizer::Scroll scroll;
    const bool touchpad = event.pointingDevice()
        && event.pointingDevice()->type() == QInputDevice::DeviceType::TouchPad;
    if (!event.pixelDelta().isNull()) {
        scroll.dx = event.pixelDelta().x();
        scroll.dy = event.pixelDelta().y();
    } else if (touchpad) {
        scroll.dx = event.angleDelta().x() / angleUnitsPerPixel;
        scroll.dy = event.angleDelta().y() / angleUnitsPerPixel;
    }
    // Only trackpads report pixels or phases; the end of a gesture carries
    // no delta at all.
    scroll.precise = touchpad || !event.pixelDelta().isNull() || event.phase() != Qt::NoScrollPhase;
    switch (event.phase()) {
    case Qt::NoScrollPhase:
        break;
    case Qt::ScrollBegin:
        scroll.phase = Phase::Began;
        break;
    case Qt::ScrollUpdate:
        scroll.phase = Phase::Changed;
        break;
    case Qt::ScrollEnd:
        scroll.phase = Phase::Ended;
        break;
    case Qt::ScrollMomentum:
        scroll.momentumPhase = Phase::Changed;
        break;
    }
    return scroll;
}

} // namespace

TrackpadSkipMonitor::TrackpadSkipMonitor(QQuickItem *parent) : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
    m_elapsed.start();
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(int(TrackpadSkipRecognizer::phaselessIdleMs));
    connect(&m_idleTimer, &QTimer::timeout, this, [this] { perform(m_recognizer.idle(now())); });
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player)
        connect(m_player, &PlayerStore::currentTrackChanged, this, &TrackpadSkipMonitor::updateEnabled);
    updateEnabled();
}

TrackpadSkipMonitor::~TrackpadSkipMonitor()
{
    watch(nullptr);
}

void TrackpadSkipMonitor::updateEnabled()
{
    const bool enabled = m_player && m_player->hasCurrentTrack();
    if (enabled == m_recognizer.isEnabled())
        return;
    m_recognizer.setEnabled(enabled);
    if (!enabled)
        m_idleTimer.stop();
    watch(enabled ? window() : nullptr);
}

void TrackpadSkipMonitor::itemChange(ItemChange change, const ItemChangeData &data)
{
    QQuickItem::itemChange(change, data);
    if (change == ItemSceneChange)
        watch(m_recognizer.isEnabled() ? data.window : nullptr);
}

void TrackpadSkipMonitor::watch(QWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

bool TrackpadSkipMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Wheel) {
            handleWheel(*static_cast<QWheelEvent *>(event));
        } else if (event->type() == QEvent::NativeGesture) {
            const auto *gesture = static_cast<QNativeGestureEvent *>(event);
            if (gesture->gestureType() == Qt::SwipeNativeGesture)
                perform(m_recognizer.swipe(gesture->delta().x(), now()));
        }
    }
    return false;
}

void TrackpadSkipMonitor::handleWheel(const QWheelEvent &event)
{
    perform(m_recognizer.scroll(scrollOf(event), now()));
    if (m_recognizer.awaitsIdle())
        m_idleTimer.start();
    else
        m_idleTimer.stop();
}

void TrackpadSkipMonitor::perform(TrackpadSkipRecognizer::Action action)
{
    if (!m_player || action == TrackpadSkipRecognizer::Action::None)
        return;
    if (action == TrackpadSkipRecognizer::Action::Next)
        m_player->next();
    else
        m_player->previous();
}

} // namespace nimbra
