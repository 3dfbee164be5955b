#include "tracks/screenshowing.h"

#include <QMetaObject>

namespace nimbra {

ScreenShowing::ScreenShowing(QObject *owner, std::function<void()> load) : m_owner(owner), m_load(std::move(load)) {}

bool ScreenShowing::setShown(bool shown)
{
    if (m_shown == shown)
        return false;
    m_shown = shown;
    if (!shown)
        m_loadedThisShowing = false;
    if (shown && !m_settling && m_owner) {
        m_settling = true;
        // The owner holds this object: while it lives, so does this.
        QMetaObject::invokeMethod(m_owner.data(), [this] { settle(); }, Qt::QueuedConnection);
    }
    return true;
}

void ScreenShowing::settle()
{
    m_settling = false;
    if (!m_shown || m_loadedThisShowing)
        return;
    m_loadedThisShowing = true;
    if (m_load)
        m_load();
}

} // namespace nimbra
