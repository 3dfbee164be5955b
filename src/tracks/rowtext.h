#pragma once

#include <QString>

namespace nimbra {

// A list row shows each of its texts on one line, yet the text item lays
// out all it is given (on the window's thread) to find where to elide it:
// a screenful of rows of 1,000-character titles held the window for 160-190
// ms. So a row is given what a line can show, counted in what is drawn: a
// grapheme cluster (a letter with its marks, an emoji with its modifiers
// and joiners, a flag) is one step, and a wide one (an emoji, an East Asian
// ideograph) is as wide as two letters. 300 of the rows' 11- and 13-pixel
// letters run to 1,900-2,300 pixels, about the widest line a 2,560-pixel
// window leaves a row; a longer text ends in "…" there.
inline constexpr qsizetype maxRowText = 300;

// text cut after `letters` letters' width, "…" included; never inside a
// grapheme cluster. A text that fits comes back whole.
QString cutToLetters(QString text, qsizetype letters);

inline QString rowText(QString text)
{
    return cutToLetters(std::move(text), maxRowText);
}

// As much of text as a line `width` pixels wide in letters of `pixelSize`
// pixels can show, and one cluster more, so that the text item still
// elides where the line ends. Each cluster is counted at the narrowest it
// is drawn, so nothing the line shows is cut. Qt 6.4 keeps no glyph cache
// for colour emoji: every layout decodes each emoji's picture again, and
// what a row is not given is never decoded.
QString fitToLine(const QString &text, qreal width, qreal pixelSize);

} // namespace nimbra
