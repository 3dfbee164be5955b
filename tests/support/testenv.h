#pragma once

#include <QString>

namespace nimbra::test {

// Gives the test process its own application name and a settings file of
// its own, so no test reads what another test (or the listener) stored.
void initTestEnvironment();

// Removes every stored setting of the test process; the lyrics lookup is
// left pointing at a closed port on loopback.
void clearSettings();

QString devservicePath();

} // namespace nimbra::test
