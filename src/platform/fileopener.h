#pragma once

#include <QString>

#include <functional>

namespace nimbra {

// Hands a file to the desktop's default handler for its type; false when
// the desktop reported that it could not. Tests inject their own.
using FileOpener = std::function<bool(const QString &path)>;

// The desktop's own: QDesktopServices on the file's URL.
FileOpener desktopFileOpener();

} // namespace nimbra
