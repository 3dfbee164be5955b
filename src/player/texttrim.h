#pragma once

#include <QString>

namespace nimbra {

// Removes spaces and tabs at both ends and keeps line breaks, where
// QString::trimmed() would remove those too.
inline QString trimSpacesAndTabs(const QString &text)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Empty once white space and line breaks are removed at both ends.
inline bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace nimbra
