#pragma once

#include "api/trackout.h"
#include "tracks/compacttracknumbers.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace nimbra {

// The rows of a track list as the list keeps them. A record of its own per
// row (272 bytes and seven texts each allocated apart, in a list grown by
// doubling) took 600-850 bytes a row; here a row is a fixed row of numbers, its
// own texts (id, title, addresses, lyrics) lie side by side in large shared
// blocks, one byte a character where the text allows it, and the texts many
// rows repeat (credits, album ids, ratings) are kept once. A record is made
// whole only when someone asks for it; the fields a view reads come one by
// one without it.
class TrackRows
{
public:
    // The row's own texts, in the order they are stored.
    enum Text { Id, Title, File, Cover, Lyrics, TextCount };

    TrackRows() = default;

    qsizetype size() const { return qsizetype(m_rows.size()); }
    void clear();
    // Room is made for the tracks added, never twice what is there.
    void append(const QList<TrackOut> &tracks);
    void replace(qsizetype row, const TrackOut &track);
    void remove(qsizetype row);

    // The track as it was given (equal to it, field by field).
    TrackOut at(qsizetype row) const;
    QList<TrackOut> all() const;

    // One field of a row, without making the record: a null text when the
    // row has none.
    QString text(qsizetype row, Text which) const;
    bool hasText(qsizetype row, Text which) const { return m_rows[size_t(row)].lengths[which] >= 0; }
    bool hasId(qsizetype row, const QString &id) const;
    const QString &artist(qsizetype row) const { return shared(m_rows[size_t(row)].artist); }
    std::optional<QString> albumId(qsizetype row) const;
    // A null text without one.
    const QString &userRating(qsizetype row) const { return shared(m_rows[size_t(row)].rating); }
    qint64 durationSeconds(qsizetype row) const { return m_rows[size_t(row)].numbers.durationSeconds; }
    std::optional<qint64> trackNumber(qsizetype row) const;
    bool isFavorite(qsizetype row) const { return m_rows[size_t(row)].flags & CompactTrackNumbers::Favorite; }
    bool isHiFi(qsizetype row) const { return m_rows[size_t(row)].flags & CompactTrackNumbers::HiFi; }

private:
    struct Row
    {
        // The texts' block; a wide text starts at an even byte.
        const char *texts = nullptr;
        // In characters; -1: none.
        qint32 lengths[TextCount] = {};
        qint32 artist = -1;
        qint32 album = -1;
        qint32 rating = -1;
        quint8 flags = 0;
        // Bit k: text k is kept two bytes a character.
        quint8 wide = 0;
        CompactTrackNumbers numbers;
    };

    // A new row with its texts copied in.
    Row rowOf(const TrackOut &track);
    // The numbers of track over the texts of row.
    Row rowOf(const TrackOut &track, const Row &row);
    char *space(qsizetype bytes);
    // Rounded up to even, so that the next row starts at an even byte.
    static qsizetype textBytes(const Row &row);
    static qsizetype offsetOf(const Row &row, int which);
    qint32 intern(const QString *text);
    const QString &shared(qint32 number) const;
    void dropTexts(const Row &row);
    void repack();

    std::vector<Row> m_rows;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char *m_free = nullptr;
    qsizetype m_freeBytes = 0;
    // Bytes of the blocks no row points at any longer (replaced, removed).
    qsizetype m_deadBytes = 0;
    qsizetype m_liveBytes = 0;
    std::vector<QString> m_shared;
    QHash<QString, qint32> m_sharedNumbers;
};

} // namespace nimbra
