#pragma once

#include <QString>

namespace nimbra {

// "42%": a share of 1 in whole percent, the fraction dropped.
QString wholePercentText(double share);

} // namespace nimbra
