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

// Whether a sound server answers (the test script starts a PulseAudio null
// sink); tests and benchmarks that play real audio skip without one.
bool soundServerAnswers();

// How many streams this process has on the sound server.
int ownSoundStreams();

} // namespace nimbra::test
