#include "api/canceltoken.h"

#include <QMap>

namespace nimbra {

struct CancelToken::State
{
    bool cancelled = false;
    int nextId = 1;
    QMap<int, std::function<void()>> actions;
};

CancelToken::CancelToken() : d(std::make_shared<State>()) { }

bool CancelToken::isCancelled() const
{
    return d->cancelled;
}

void CancelToken::cancel() const
{
    if (d->cancelled)
        return;
    d->cancelled = true;
    // An action may remove registrations (a reply finishing as it is
    // aborted), so run from a copy.
    const auto actions = std::exchange(d->actions, {});
    for (const auto &action : actions)
        action();
}

int CancelToken::onCancel(std::function<void()> action) const
{
    if (d->cancelled) {
        action();
        return 0;
    }
    const int id = d->nextId++;
    d->actions.insert(id, std::move(action));
    return id;
}

void CancelToken::removeOnCancel(int id) const
{
    d->actions.remove(id);
}

CancelRegistration::CancelRegistration(const CancelToken &token, std::function<void()> action)
    : m_token(token), m_id(token.onCancel(std::move(action)))
{
}

CancelRegistration::~CancelRegistration()
{
    m_token.removeOnCancel(m_id);
}

CancelToken TaskSlot::renew()
{
    release();
    m_current.cancel();
    m_current = CancelToken();
    m_running = true;
    return m_current;
}

CancelToken TaskSlot::renew(const CancelToken &within)
{
    const CancelToken task = renew();
    m_within = within;
    m_withinId = within.onCancel([task] { task.cancel(); });
    return task;
}

void TaskSlot::cancel()
{
    release();
    m_current.cancel();
    m_running = false;
}

void TaskSlot::finish(const CancelToken &token)
{
    if (!(token == m_current))
        return;
    release();
    m_running = false;
}

void TaskSlot::release()
{
    if (m_within)
        m_within->removeOnCancel(m_withinId);
    m_within.reset();
    m_withinId = 0;
}

} // namespace nimbra
