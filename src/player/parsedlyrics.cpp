#include "player/parsedlyrics.h"

#include "api/jsoncoding.h"
#include "player/texttrim.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

const QRegularExpression &timeTag()
{
    // Unicode digits match like ASCII ones (and then read as 0), as in the
    // lyrics other clients of the service show.
    static const QRegularExpression tag(
        uR"(^\[(\d{1,2}):(\d{2})(?:[.:,](\d{1,3}))?\](.*)$)"_s, QRegularExpression::UseUnicodePropertiesOption);
    return tag;
}

// Rows end at each line feed. A carriage return just before it belongs to
// the break: lyrics saved on Windows are common, and left in place it would
// end up in the text or keep the row from matching.
QStringList splitRows(const QString &text)
{
    QStringList rows = text.split(QLatin1Char('\n'));
    for (QString &row : rows) {
        if (row.endsWith(QLatin1Char('\r')))
            row.chop(1);
    }
    return rows;
}

int readNumber(const QString &digits)
{
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

ParsedLyrics ParsedLyrics::parse(const QString &text)
{
    const QStringList rows = splitRows(text);
    struct Stamped
    {
        double time;
        QString text;
    };
    QList<Stamped> stamped;
    for (const QString &row : rows) {
        const QRegularExpressionMatch match = timeTag().match(row);
        if (!match.hasMatch())
            continue;
        const int minutes = readNumber(match.captured(1));
        const int seconds = readNumber(match.captured(2));
        QString fraction = match.hasCaptured(3) ? match.captured(3) : u"0"_s;
        while (fraction.size() < 3)
            fraction.append(QLatin1Char('0'));
        const int millis = readNumber(fraction.left(3));
        const QString line = cutForDisplay(trimSpacesAndTabs(match.captured(4)));
        stamped.append({minutes * 60.0 + seconds + millis / 1000.0, line});
    }

    ParsedLyrics parsed;
    if (!stamped.isEmpty()) {
        std::stable_sort(
            stamped.begin(), stamped.end(), [](const Stamped &a, const Stamped &b) { return a.time < b.time; });
        parsed.isLrc = true;
        parsed.lines.reserve(stamped.size());
        for (const Stamped &s : stamped)
            parsed.lines.append({int(parsed.lines.size()), s.time, s.text});
        return parsed;
    }
    parsed.lines.reserve(rows.size());
    for (const QString &row : rows)
        parsed.lines.append({int(parsed.lines.size()), std::nullopt, cutForDisplay(row)});
    return parsed;
}

int ParsedLyrics::activeIndex(double time, double duration) const
{
    if (lines.isEmpty() || std::isnan(time))
        return 0;
    const int last = int(lines.size()) - 1;
    if (isLrc) {
        // Times never decrease, so the last line at or before time is found
        // by bisection; of equal times the later line wins.
        const auto after = std::upper_bound(lines.cbegin(), lines.cend(), time,
            [](double t, const LyricsLine &line) { return line.time && t < *line.time; });
        return std::max(0, int(after - lines.cbegin()) - 1);
    }
    if (!(duration > 0))
        return 0;
    const double position = time / duration * double(lines.size());
    if (std::isnan(position))
        return 0;
    // Clamped before the conversion, so no time is too large for an int.
    return int(std::clamp(position, 0.0, double(last)));
}

std::optional<double> ParsedLyrics::seekTime(int index, double duration) const
{
    if (index < 0 || index >= lines.size())
        return std::nullopt;
    if (isLrc && lines.at(index).time)
        return lines.at(index).time;
    if (!(duration > 0))
        return std::nullopt;
    return double(index) / double(lines.size()) * duration;
}

} // namespace nimbra
