#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

namespace nimbra {

// The credit and title patterns of the artist name rules as single forward
// scans. Service texts can be long (a title of megabytes), and the
// backtracking matcher took seconds to minutes on blank runs and unclosed
// "(feat x" groups; these scans take time in proportion to the text and give
// the matches the case-insensitive patterns below give, with white space
// taken as the regular-expression engine's Unicode white space:
//   feat group    \s*\(\s*(feat\.?|ft\.?|featuring)\s+[^)]*\)\s*
//   russian and   \s+и\s+
//   separator     \s*(?:(?<![\p{L}\p{N}])(?:(?:feat|ft)\.|(?:feat|ft|featuring)(?![\p{L}\p{N}]))|[;,&])\s*
//                 |\s+[/+x×]\s+
//   title 1       ^(.*?)\(\s*((?:feat\.?|ft\.?|featuring))\s+([^)]+)\)\s*(.*)$   names: group 3
//   title 2       ^(.*?)\s+((?:feat\.?|ft\.?|featuring))\s+(.+)$                names: group 3
class ArtistNameScanner
{
public:
    ArtistNameScanner() = delete;

    // Every parenthesised featuring group, with the blanks around it, replaced by " feat. ".
    static QString replaceFeatGroups(const QString &text);
    // Every Russian "и" between blanks, with the blanks, replaced by ",".
    static QString replaceRussianAnd(const QString &text);
    // The separators of a credit, left to right, as [begin, end) ranges.
    static QList<std::pair<qsizetype, qsizetype>> separators(QStringView text);
    // Group 3 of the first title pattern that matches, or a null view when
    // neither matches. The caller trims it and, when that leaves nothing,
    // asks the next pattern: pattern is 1 or 2.
    static QStringView titleNames(QStringView title, int pattern);

    // \s of the regular-expression engine with Unicode properties.
    static bool isBlank(char16_t c);
};

} // namespace nimbra
