#pragma once

#include <QByteArray>
#include <QtGlobal>

// Deterministic media for the generated catalogue: the same seed always
// gives the same bytes, and different seeds sound and look different.
namespace devservice {

// RIFF/WAVE, 16-bit PCM mono at 22050 Hz; seconds is clamped to 1..1200.
QByteArray renderWav(quint64 seed, int seconds);
// The same audio as renderWav, losslessly encoded as FLAC.
QByteArray renderFlac(quint64 seed, int seconds);
// A size x size PNG cover (size clamped to 1..2048).
QByteArray renderCoverPng(quint64 seed, int size);

} // namespace devservice
