#include "tracks/screenshowing.h"

#include <QMetaObject>

namespace nimbra {

ScreenShowing::ScreenShowing(QObject *owner, std::function<void()> load)
    : m_owner(owner), m_state(std::make_shared<State>())
{
    m_state->load = std::move(load);
}

ScreenShowing::~ScreenShowing()
{
    // A load still due (the owner's teardown may run the event loop) finds
    // nothing to do.
    m_state->shown = false;
    m_state->load = nullptr;
}

bool ScreenShowing::setShown(bool shown)
{
    State &state = *m_state;
    if (state.shown == shown)
        return false;
    state.shown = shown;
    if (!shown)
        state.loadedThisShowing = false;
    if (shown && !state.settling && m_owner) {
        state.settling = true;
        const std::weak_ptr<State> weak = m_state;
        QMetaObject::invokeMethod(
            m_owner.data(),
            [weak] {
                if (const std::shared_ptr<State> alive = weak.lock())
                    settle(*alive);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void ScreenShowing::settle(State &state)
{
    state.settling = false;
    if (!state.shown || state.loadedThisShowing || !state.load)
        return;
    state.loadedThisShowing = true;
    state.load();
}

} // namespace nimbra
