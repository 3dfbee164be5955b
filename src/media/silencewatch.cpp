#include "media/silencewatch.h"

namespace nimbra {

bool SilenceWatch::isSilent(qint64 positionMs, std::optional<quint64> rendered)
{
    if (!rendered || !m_rendered || *rendered != *m_rendered || positionMs < m_heardMs) {
        m_rendered = rendered;
        m_heardMs = positionMs;
        return false;
    }
    return positionMs - m_heardMs >= limitMs;
}

} // namespace nimbra
