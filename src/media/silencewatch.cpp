#include "media/silencewatch.h"

namespace nimbra {

namespace {

// A flushing seek starts the sink's counts from nothing again.
quint64 since(quint64 before, quint64 now)
{
    return now >= before ? now - before : now;
}

} // namespace

bool SilenceWatch::isSilent(qint64 positionMs, std::optional<OutputCounts> counts)
{
    if (!counts || (m_last && positionMs < m_heardMs)) {
        m_last = counts;
        m_heardMs = positionMs;
        m_dropped = false;
        return false;
    }
    const bool first = !m_last;
    const OutputCounts before = m_last.value_or(*counts);
    m_last = counts;
    // A sink gets a buffer every few tens of milliseconds, or with large
    // buffers only every few ticks: a tick in which it got none is neither
    // sound nor silence.
    if (first || since(before.rendered, counts->rendered) > 0) {
        m_heardMs = positionMs;
        m_dropped = false;
        return false;
    }
    m_dropped = m_dropped || since(before.dropped, counts->dropped) > 0;
    return m_dropped && positionMs - m_heardMs >= limitMs;
}

} // namespace nimbra
