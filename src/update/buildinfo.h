#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace nimbra {

// What this program was built as: the project's version and the build
// number given to CMake (NIMBRA_BUILD_NUMBER). The update check compares
// the build number with the manifest's; the settings show both.
class BuildInfo
{
public:
    // "0.1.0": the CMake project version.
    static QString version();
    // The build number as configured, e.g. "27".
    static QString build();
    // build() as a number; a text that is not a whole number counts as 1.
    static qint64 buildNumber();
    // "0.1.0 (27)", as the settings' "Версия" row shows it.
    static QString versionLine();
    // The same line for given texts: an empty version reads "1.0", an empty
    // build "1".
    static QString versionLine(const QString &version, const QString &build);

    // An optional "+" or "-", then ASCII digits and nothing else, within
    // 64 bits; anything else (blanks, "1.2.3", the empty text) is none.
    static std::optional<qint64> parseWholeNumber(QStringView text);
};

} // namespace nimbra
