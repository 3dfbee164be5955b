#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Deterministic clip videos and posters: the same seed and label always give
// the same bytes. A video is Motion-JPEG in an AVI container, written here
// without any encoder but Qt's JPEG writer, so GStreamer's avidemux and
// jpegdec play it.
namespace devservice {

struct ClipVideoFormat
{
    int width = 320;
    int height = 180;
    int fps = 10;
};

// seconds is clamped to 1..60. Every frame shows the label large on the
// clip's own colour, the playing time and a bar that fills up to the end,
// so two clips, and two moments of one clip, never look alike.
QByteArray renderClipAvi(quint64 seed, const QString &label, int seconds, ClipVideoFormat format = {});
// A size x size PNG in the clip's colour with its label: the clip's poster.
QByteArray renderClipPosterPng(quint64 seed, const QString &label, int size);

} // namespace devservice
