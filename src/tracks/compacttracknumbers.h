#pragma once

#include "api/trackout.h"

#include <QDateTime>
#include <QtGlobal>

namespace nimbra {

// A track's numbers as a compact row keeps them: three plain numbers, and a
// byte of flags the row holds beside its other small fields (so the row
// packs without a hole) saying which of them the record had.
struct CompactTrackNumbers
{
    enum Flag : quint8 { HasTrackNumber = 1, HasDate = 2, DateInvalid = 4, Favorite = 8, HiFi = 16 };

    qint64 durationSeconds = 0;
    qint64 trackNumber = 0;
    qint64 createdMsecs = 0;

    // The numbers of track, with their flags in flags (HiFi is the row's to
    // set: not every table keeps it).
    static CompactTrackNumbers of(const TrackOut &track, quint8 &flags)
    {
        CompactTrackNumbers numbers;
        flags = 0;
        numbers.durationSeconds = track.durationSeconds;
        if (track.trackNumber) {
            flags |= HasTrackNumber;
            numbers.trackNumber = *track.trackNumber;
        }
        if (track.createdAt) {
            flags |= HasDate;
            if (track.createdAt->isValid())
                numbers.createdMsecs = track.createdAt->toMSecsSinceEpoch();
            else
                flags |= DateInvalid;
        }
        if (track.isFavorite)
            flags |= Favorite;
        return numbers;
    }

    std::optional<qint64> trackNumberIn(quint8 flags) const
    {
        return (flags & HasTrackNumber) ? std::optional<qint64>(trackNumber) : std::nullopt;
    }

    // Puts the numbers back into a record made from the row.
    void writeTo(TrackOut &track, quint8 flags) const
    {
        track.durationSeconds = durationSeconds;
        track.trackNumber = trackNumberIn(flags);
        track.isFavorite = flags & Favorite;
        if (flags & HasDate)
            track.createdAt = (flags & DateInvalid) ? QDateTime() : QDateTime::fromMSecsSinceEpoch(createdMsecs, Qt::UTC);
    }
};

} // namespace nimbra
