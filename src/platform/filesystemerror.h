#pragma once

#include <QString>

class QFileDevice;

namespace nimbra {

// What a failed file operation says to the listener, in Russian: a full
// disk has its own text; the file system's own (English) text is never
// shown. Call it right after the failure, while errno still tells its cause.
QString fileErrorText(const QFileDevice &file);

// The text for a disk that has no room left.
QString diskFullText();

} // namespace nimbra
