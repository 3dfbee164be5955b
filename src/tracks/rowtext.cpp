#include "tracks/rowtext.h"

#include <QTextBoundaryFinder>

namespace nimbra {

namespace {

enum class ClusterWidth { None, Narrow, Wide, Emoji };

bool isEastAsianWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// What a cluster draws: an emoji is a picture of the colour font (the
// pictographs' planes, flags, and any sequence that asks for the emoji
// form, joins emoji or makes a keycap).
ClusterWidth widthOf(QStringView cluster)
{
    const char32_t first = cluster.at(0).isHighSurrogate() && cluster.size() > 1
        ? QChar::surrogateToUcs4(cluster.at(0), cluster.at(1))
        : cluster.at(0).unicode();
    if (first >= 0x1F000 && first <= 0x1FAFF)
        return ClusterWidth::Emoji;
    for (const QChar c : cluster) {
        if (c == QChar(0xFE0F) || c == QChar(0x200D) || c == QChar(0x20E3))
            return ClusterWidth::Emoji;
    }
    if (isEastAsianWide(first))
        return ClusterWidth::Wide;
    const QChar::Category category = QChar::category(first);
    if (category == QChar::Other_Format || category == QChar::Other_Control)
        return ClusterWidth::None;
    return ClusterWidth::Narrow;
}

// Walks text's grapheme clusters, adding each one's cost, and returns the
// end of the first cluster that brings the sum past `limit`, or -1 when
// the whole text stays within it.
template<typename Cost> qsizetype endPast(const QString &text, double limit, Cost cost)
{
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    double sum = 0;
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end > 0; end = clusters.toNextBoundary()) {
        sum += cost(widthOf(QStringView(text).sliced(start, end - start)));
        if (sum > limit)
            return end;
        start = end;
    }
    return -1;
}

} // namespace

QString cutToLetters(QString text, qsizetype letters)
{
    // A wide cluster draws about as wide as two letters (an emoji of the
    // rows' 13-pixel letters 12.75 pixels, a letter 7.7 on average).
    const auto cost = [](ClusterWidth width) {
        return width == ClusterWidth::Narrow ? 1 : width == ClusterWidth::None ? 0 : 2;
    };
    // No UTF-16 unit draws wider than two letters: a short text needs no walk.
    if (text.size() * 2 <= letters)
        return text;
    if (endPast(text, double(letters), cost) < 0)
        return text;
    // Room for the "…": the clusters that fit in one letter less.
    const qsizetype pastRoom = endPast(text, double(letters - 1), cost);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    clusters.setPosition(pastRoom);
    const qsizetype keep = clusters.toPreviousBoundary();
    text.truncate(std::max<qsizetype>(keep, 0));
    return text + QChar(0x2026);
}

QString fitToLine(const QString &text, qreal width, qreal pixelSize)
{
    // The narrowest each draws, in ems: an emoji's picture is about square
    // (0.97-1.06 em measured at 10-13 pixels); an ideograph shown without
    // its font is a box of 0.6 em; the narrowest letters ("i", "l") are
    // 0.28 em and the space 0.32.
    const auto cost = [pixelSize](ClusterWidth w) {
        switch (w) {
        case ClusterWidth::None:
            return 0.0;
        case ClusterWidth::Narrow:
            return 0.2 * pixelSize;
        case ClusterWidth::Wide:
            return 0.5 * pixelSize;
        case ClusterWidth::Emoji:
            return 0.9 * pixelSize;
        }
        return 0.0;
    };
    // No UTF-16 unit costs more than half an em: a short text needs no walk.
    if (text.size() * 0.5 * pixelSize <= width)
        return text;
    const qsizetype end = endPast(text, std::max(width, 0.0), cost);
    return end < 0 ? text : text.left(end);
}

} // namespace nimbra
