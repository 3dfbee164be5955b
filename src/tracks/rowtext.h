#pragma once

#include "api/jsoncoding.h"

namespace nimbra {

// A list row shows each of its texts on one line, yet the text item lays
// out all it is given (on the window's thread) to find where to elide it:
// a screenful of rows of 1,000-character titles held the window for 160-190
// ms. So a row is given what a line can show: 300 characters of the rows'
// 11- and 13-pixel letters run to 1,900-2,300 pixels, about the widest line
// a 2,560-pixel window leaves a row; a longer text ends in "…" there.
inline constexpr qsizetype maxRowText = 300;

inline QString rowText(QString text)
{
    return cutForDisplay(std::move(text), maxRowText);
}

} // namespace nimbra
