#pragma once

#include <QString>

#include <optional>

namespace nimbra {

// One line of lyrics: its position among the lines, its start time when the
// lyrics are synced, and its text.
struct LyricsLine
{
    int id = 0;
    std::optional<double> time;
    QString text;

    bool operator==(const LyricsLine &other) const = default;
};

} // namespace nimbra
