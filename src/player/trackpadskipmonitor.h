#pragma once

#include "player/trackpadskiprecognizer.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QQuickItem>
#include <QTimer>
#include <QWindow>

#include <functional>

class QWheelEvent;

namespace nimbra {

class PlayerStore;

// Laid once over the window's content: watches every wheel and swipe event
// of its window (an event filter, so it sees them before any list does),
// feeds the trackpad recogniser and skips tracks on the player. Events are
// never consumed: a list under the pointer scrolls as before. Works only
// while a track is current. Draws nothing and takes no input itself.
class TrackpadSkipMonitor : public QQuickItem
{
    Q_OBJECT
public:
    explicit TrackpadSkipMonitor(QQuickItem *parent = nullptr);
    ~TrackpadSkipMonitor() override;

    PlayerStore *player() const { return m_player; }

    // The monotonic time in milliseconds; tests step it by hand.
    void setClock(std::function<qint64()> now) { m_now = std::move(now); }
    bool isWatching() const { return m_window != nullptr; }
    // A gesture without phases ends with a pause in its events; true while
    // one is under way and its end is awaited.
    bool awaitsPause() const { return m_idleTimer.isActive(); }

protected:
    void itemChange(ItemChange change, const ItemChangeData &data) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateEnabled();
    void watch(QWindow *window);
    void handleWheel(const QWheelEvent &event);
    void perform(TrackpadSkipRecognizer::Action action);
    qint64 now() const { return m_now ? m_now() : m_elapsed.elapsed(); }

    QPointer<PlayerStore> m_player;
    QPointer<QWindow> m_window;
    TrackpadSkipRecognizer m_recognizer;
    QTimer m_idleTimer;
    QElapsedTimer m_elapsed;
    std::function<qint64()> m_now;
};

} // namespace nimbra
