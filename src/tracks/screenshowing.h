#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

namespace nimbra {

// Loads a screen's content each time the screen comes on screen anew: the
// first time, and again when it is uncovered (back from a page pushed over
// it). While a page is made and placed on its stack its shown state may
// flip more than once in one go; the load follows the state it settles on,
// at the next turn of the event loop, so one showing loads once.
class ScreenShowing
{
public:
    ScreenShowing(QObject *owner, std::function<void()> load);

    bool isShown() const { return m_shown; }
    // False when nothing changed.
    bool setShown(bool shown);

private:
    void settle();

    QPointer<QObject> m_owner;
    std::function<void()> m_load;
    bool m_shown = false;
    bool m_loadedThisShowing = false;
    bool m_settling = false;
};

} // namespace nimbra
