#pragma once

// Temporary stand-in for the real media generator (mediagen.h), which is
// written separately. Delete this file and mediagen_stub.cpp once it lands.
#if __has_include("mediagen.h")
#include "mediagen.h"
#else
#include <QByteArray>

namespace devservice {
QByteArray renderWav(quint64 seed, int seconds);
QByteArray renderFlac(quint64 seed, int seconds);
QByteArray renderCoverPng(quint64 seed, int size);
} // namespace devservice
#endif
