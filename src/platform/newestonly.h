#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <utility>

namespace nimbra {

// Hands values from one thread to another when only the newest matters (a
// video frame, the picture made of it): a value put while an earlier one
// still waits replaces it, and the taker is asked once per waiting value,
// however many came meanwhile.
template<typename T> class NewestOnly
{
public:
    // True when nothing was waiting: the caller asks the taker to take.
    bool put(T value)
    {
        QMutexLocker lock(&m_lock);
        m_value = std::move(value);
        return !std::exchange(m_waiting, true);
    }

    // The newest value, leaving nothing waiting.
    T take()
    {
        QMutexLocker lock(&m_lock);
        m_waiting = false;
        return std::exchange(m_value, T());
    }

private:
    QMutex m_lock;
    T m_value {};
    bool m_waiting = false;
};

} // namespace nimbra
