#pragma once

#include "api/trackout.h"
#include "tracks/compacttracknumbers.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace nimbra {

// The catalogue's tracks as the artist catalogue keeps them between pages.
// A record of its own per track (a dozen fields, six texts each allocated
// apart) took some 0.76 KiB a track, 27 MiB for a catalogue of 20,000; here
// a track is one fixed row of numbers, its own texts (id, title, addresses)
// lie one after another in one shared text, and the texts that many tracks
// repeat (credits, album ids, ratings) are kept once. A track is made whole
// again only when a page reads it. Immutable once made; any thread may read.
class CompactTrackTable
{
public:
    // Numbers of the texts that many tracks share, as the caller already
    // has them: texts[credit(t)] is track t's credit, texts[album(t)] its
    // album id (album(t) < 0: none).
    struct SharedTexts
    {
        std::vector<QString> texts;
        std::function<int(qsizetype)> credit;
        std::function<int(qsizetype)> album;
    };

    CompactTrackTable() = default;
    explicit CompactTrackTable(const QList<TrackOut> &tracks);
    CompactTrackTable(const QList<TrackOut> &tracks, SharedTexts shared);

    qsizetype size() const { return qsizetype(m_rows.size()); }
    // The track as it was given (equal to it, field by field).
    TrackOut at(qsizetype i) const;

private:
    // Lengths of the texts of a row, in this order, in m_text; -1: none.
    enum Text { Id, Title, File, Cover, Lyrics, TextCount };

    struct Row
    {
        qsizetype textAt = 0;
        qint32 lengths[TextCount] = {};
        qint32 credit = -1;
        qint32 album = -1;
        qint32 rating = -1;
        CompactTrackNumbers numbers;
        quint8 flags = 0;
    };

    void fill(const QList<TrackOut> &tracks, SharedTexts shared);

    std::vector<Row> m_rows;
    QString m_text;
    std::vector<QString> m_shared;
};

} // namespace nimbra
