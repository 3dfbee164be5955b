#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace nimbra {

// Loads a screen's content each time the screen comes on screen anew: the
// first time, and again when it is uncovered (back from a page pushed over
// it). While a page is made and placed on its stack its shown state may
// flip more than once in one go; the load follows the state it settles on,
// at the next turn of the event loop, so one showing loads once. Nothing
// loads once this object or its owner has gone.
class ScreenShowing
{
public:
    ScreenShowing(QObject *owner, std::function<void()> load);
    ~ScreenShowing();

    ScreenShowing(const ScreenShowing &) = delete;
    ScreenShowing &operator=(const ScreenShowing &) = delete;

    bool isShown() const { return m_state->shown; }
    // False when nothing changed.
    bool setShown(bool shown);

private:
    struct State
    {
        std::function<void()> load;
        bool shown = false;
        bool loadedThisShowing = false;
        bool settling = false;
    };
    static void settle(State &state);

    QPointer<QObject> m_owner;
    std::shared_ptr<State> m_state;
};

} // namespace nimbra
