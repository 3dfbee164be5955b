#pragma once

#include <QString>

namespace devservice {

// The demo helper behind "--confirm-qr": plays the already signed-in device
// by confirming a QR sign-in on a running service. Prints the outcome and
// gives the process exit code.
int confirmQrOnService(const QString &serviceUrl, const QString &qrToken, const QString &username);

} // namespace devservice
