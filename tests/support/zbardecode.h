#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace nimbra::test {

// Whether zbarimg (zbar-tools) can be run here.
bool hasZbarImg();

// What zbarimg reads from the QR code in image (saved to a temporary PNG
// first), or nothing when it finds no code. Waits on the event loop, so a
// service in this process can still answer meanwhile.
std::optional<QString> decodeQrImage(const QImage &image);

} // namespace nimbra::test
