#include "format/percenttext.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

QString wholePercentText(double share)
{
    return QString::number(qint64(std::trunc(share * 100))) + u"%"_s;
}

} // namespace nimbra
