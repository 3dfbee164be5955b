#pragma once

#include <algorithm>
#include <cmath>

namespace nimbra {

// The filled length of a bar span pixels long at fraction, in whole pixels:
// a bar bound to it changes, and the window redraws, only when a drawn pixel
// does. 0 for a span or fraction that is not a finite number.
inline int wholePixels(double fraction, double span)
{
    if (!std::isfinite(span) || span <= 0 || !std::isfinite(fraction))
        return 0;
    return int(std::lround(std::clamp(fraction, 0.0, 1.0) * span));
}

} // namespace nimbra
