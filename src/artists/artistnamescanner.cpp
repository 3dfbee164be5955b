#include "artists/artistnamescanner.h"

namespace nimbra {

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// The keyword's letters at `at`, in either case (no other letter folds to these).
bool keywordAt(QStringView text, qsizetype at, QLatin1StringView keyword)
{
    if (at + keyword.size() > text.size())
        return false;
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (asciiLower(text[at + i].unicode()) != char16_t(keyword[i].unicode()))
            return false;
    }
    return true;
}

char32_t codePointAt(QStringView text, qsizetype at)
{
    const QChar c = text[at];
    if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[at + 1]);
    return c.unicode();
}

bool letterOrNumberAt(QStringView text, qsizetype at)
{
    return at < text.size() && QChar::isLetterOrNumber(codePointAt(text, at));
}

bool letterOrNumberBefore(QStringView text, qsizetype at)
{
    if (at <= 0)
        return false;
    const QChar c = text[at - 1];
    if (c.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate())
        return QChar::isLetterOrNumber(QChar::surrogateToUcs4(text[at - 2], c));
    return QChar::isLetterOrNumber(char32_t(c.unicode()));
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && ArtistNameScanner::isBlank(text[at].unicode()))
        ++at;
    return at;
}

bool blankAt(QStringView text, qsizetype at)
{
    return at < text.size() && ArtistNameScanner::isBlank(text[at].unicode());
}

// feat\.?|ft\.?|featuring followed by a blank: the end of the keyword, or -1.
// At most one of the forms is followed by a blank, so the first that is wins.
qsizetype keywordBeforeBlank(QStringView text, qsizetype at)
{
    using namespace Qt::StringLiterals;
    if (keywordAt(text, at, "featuring"_L1) && blankAt(text, at + 9))
        return at + 9;
    for (const qsizetype length : {4, 2}) {
        if (!keywordAt(text, at, length == 4 ? "feat"_L1 : "ft"_L1))
            continue;
        if (at + length < text.size() && text[at + length] == u'.' && blankAt(text, at + length + 1))
            return at + length + 1;
        if (blankAt(text, at + length))
            return at + length;
    }
    return -1;
}

// (?:feat|ft)\.|(?:feat|ft|featuring)(?![\p{L}\p{N}]): the end, or -1.
qsizetype separatorKeywordEnd(QStringView text, qsizetype at)
{
    using namespace Qt::StringLiterals;
    const bool feat = keywordAt(text, at, "feat"_L1);
    const bool ft = !feat && keywordAt(text, at, "ft"_L1);
    const qsizetype length = feat ? 4 : 2;
    if ((feat || ft) && at + length < text.size() && text[at + length] == u'.')
        return at + length + 1;
    if ((feat || ft) && !letterOrNumberAt(text, at + length))
        return at + length;
    if (feat && keywordAt(text, at, "featuring"_L1) && !letterOrNumberAt(text, at + 9))
        return at + 9;
    return -1;
}

bool isCyrillicI(char16_t c)
{
    return c == 0x0438 || c == 0x0418;
}

bool isSpacedSeparator(char16_t c)
{
    return c == u'/' || c == u'+' || c == u'x' || c == u'X' || c == 0x00D7;
}

// The last line feed before the text's final character: "." stops at a line
// feed, and "$" matches at the end or before a line feed that ends the text.
qsizetype lastInnerLineFeed(QStringView text)
{
    for (qsizetype i = text.size() - 2; i >= 0; --i) {
        if (text[i] == u'\n')
            return i;
    }
    return -1;
}

QStringView titleBracketNames(QStringView text)
{
    const qsizetype n = text.size();
    const qsizetype firstLineFeed = text.indexOf(u'\n') < 0 ? n : text.indexOf(u'\n');
    const qsizetype innerLineFeed = lastInnerLineFeed(text);
    qsizetype close = 0; // the first ")" at or after the position last asked for
    qsizetype tailOf = -1; // the ")" whose tail was last tested
    bool tailOk = false;
    for (qsizetype q = 0; q < firstLineFeed; ++q) {
        if (text[q] != u'(')
            continue;
        const qsizetype keywordEnd = keywordBeforeBlank(text, skipBlanks(text, q + 1));
        if (keywordEnd < 0)
            continue;
        const qsizetype namesFrom = skipBlanks(text, keywordEnd);
        if (namesFrom >= n)
            continue;
        qsizetype begin = namesFrom;
        if (text[namesFrom] == u')') {
            // [^)]+ takes the last blank of a run of two or more.
            if (namesFrom - 1 <= keywordEnd)
                continue;
            begin = namesFrom - 1;
            close = std::max(close, namesFrom);
        } else {
            close = std::max(close, namesFrom);
            while (close < n && text[close] != u')')
                ++close;
            if (close >= n)
                return {};
        }
        const qsizetype c = text[namesFrom] == u')' ? namesFrom : close;
        if (tailOf != c) {
            tailOf = c;
            tailOk = innerLineFeed < skipBlanks(text, c + 1);
        }
        if (tailOk)
            return text.sliced(begin, c - begin);
    }
    return {};
}

QStringView titlePlainNames(QStringView text)
{
    const qsizetype n = text.size();
    const qsizetype firstLineFeed = text.indexOf(u'\n') < 0 ? n : text.indexOf(u'\n');
    const qsizetype innerLineFeed = lastInnerLineFeed(text);
    const qsizetype end = (n > 0 && text[n - 1] == u'\n') ? n - 1 : n;
    qsizetype i = 0;
    while (i < n && i <= firstLineFeed) {
        if (!ArtistNameScanner::isBlank(text[i].unicode())) {
            ++i;
            continue;
        }
        i = skipBlanks(text, i);
        const qsizetype keywordEnd = keywordBeforeBlank(text, i);
        if (keywordEnd < 0)
            continue;
        // (.+)$ from the end of the blanks, or from one of the blanks when
        // nothing that "." takes follows them.
        for (qsizetype j = skipBlanks(text, keywordEnd); j > keywordEnd && j > innerLineFeed; --j) {
            if (j < n && text[j] != u'\n')
                return text.sliced(j, end - j);
        }
    }
    return {};
}

} // namespace

bool ArtistNameScanner::isBlank(char16_t c)
{
    if (c < 0x80)
        return c == u' ' || (c >= 0x09 && c <= 0x0D);
    if (c == 0x0085 || c == 0x180E)
        return true;
    switch (QChar::category(char32_t(c))) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString ArtistNameScanner::replaceFeatGroups(const QString &source)
{
    const QStringView text(source);
    const qsizetype n = text.size();
    QString result;
    qsizetype copied = 0;
    qsizetype close = 0;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype blanksFrom = i;
        i = skipBlanks(text, i);
        if (i >= n)
            break;
        if (text[i] != u'(') {
            ++i;
            continue;
        }
        const qsizetype keywordEnd = keywordBeforeBlank(text, skipBlanks(text, i + 1));
        if (keywordEnd < 0) {
            ++i;
            continue;
        }
        close = std::max(close, keywordEnd + 1);
        while (close < n && text[close] != u')')
            ++close;
        if (close >= n)
            break; // no ")" follows, for this group nor any later one
        result.append(text.sliced(copied, blanksFrom - copied));
        result.append(QLatin1StringView(" feat. "));
        i = copied = skipBlanks(text, close + 1);
    }
    if (copied == 0)
        return source;
    result.append(text.sliced(copied));
    return result;
}

QString ArtistNameScanner::replaceRussianAnd(const QString &source)
{
    const QStringView text(source);
    const qsizetype n = text.size();
    QString result;
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < n) {
        if (!isBlank(text[i].unicode())) {
            ++i;
            continue;
        }
        const qsizetype blanksFrom = i;
        i = skipBlanks(text, i);
        if (i + 1 < n && isCyrillicI(text[i].unicode()) && isBlank(text[i + 1].unicode())) {
            result.append(text.sliced(copied, blanksFrom - copied));
            result.append(u',');
            i = copied = skipBlanks(text, i + 1);
        }
    }
    if (copied == 0)
        return source;
    result.append(text.sliced(copied));
    return result;
}

QList<std::pair<qsizetype, qsizetype>> ArtistNameScanner::separators(QStringView text)
{
    const qsizetype n = text.size();
    QList<std::pair<qsizetype, qsizetype>> found;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const qsizetype at = skipBlanks(text, i);
        if (at >= n)
            break;
        const char16_t c = text[at].unicode();
        qsizetype end = -1;
        if (c == u';' || c == u',' || c == u'&')
            end = at + 1;
        else if (at > start || !letterOrNumberBefore(text, at))
            end = separatorKeywordEnd(text, at);
        if (end < 0 && at > start && isSpacedSeparator(c) && blankAt(text, at + 1))
            end = at + 1;
        if (end < 0) {
            i = at + 1;
            continue;
        }
        i = skipBlanks(text, end);
        found.append({start, i});
    }
    return found;
}

QStringView ArtistNameScanner::titleNames(QStringView title, int pattern)
{
    return pattern == 1 ? titleBracketNames(title) : titlePlainNames(title);
}

} // namespace nimbra
