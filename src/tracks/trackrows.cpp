#include "tracks/trackrows.h"

#include <algorithm>
#include <cstring>

namespace nimbra {

namespace {

// Texts are copied into blocks of up to this size; a larger text gets a
// block of its own, so that a page's lyrics leave no half-empty block.
constexpr qsizetype blockBytes = 64 * 1024;
constexpr qsizetype smallestBlockBytes = 2 * 1024;

bool isNarrow(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

void TrackRows::clear()
{
    // Gives back the rows' memory too, where clearing a vector keeps it.
    *this = TrackRows();
}

void TrackRows::append(const QList<TrackOut> &tracks)
{
    // A list that grows by pages grows by an eighth at most, not twice its
    // size: the rows are all the list keeps.
    const size_t needed = m_rows.size() + size_t(tracks.size());
    if (needed > m_rows.capacity())
        m_rows.reserve(std::max(needed, m_rows.size() + m_rows.size() / 8));
    for (const TrackOut &track : tracks)
        m_rows.push_back(rowOf(track));
}

void TrackRows::replace(qsizetype row, const TrackOut &track)
{
    Row &old = m_rows[size_t(row)];
    const QString *const texts[TextCount] = {&track.id, &track.title, &track.fileUrl,
        track.coverUrl ? &*track.coverUrl : nullptr, track.lyrics ? &*track.lyrics : nullptr};
    bool sameTexts = true;
    for (int k = 0; k < TextCount && sameTexts; ++k) {
        if (!texts[k] || old.lengths[k] < 0)
            sameTexts = !texts[k] && old.lengths[k] < 0;
        else
            sameTexts = texts[k]->size() == old.lengths[k] && text(row, Text(k)) == *texts[k];
    }
    // A changed mark (the usual change) keeps the texts where they are.
    if (sameTexts) {
        Row changed = rowOf(track, old);
        old = changed;
        return;
    }
    dropTexts(old);
    old = rowOf(track);
    if (m_deadBytes > m_liveBytes && m_deadBytes >= blockBytes)
        repack();
}

void TrackRows::remove(qsizetype row)
{
    dropTexts(m_rows[size_t(row)]);
    m_rows.erase(m_rows.begin() + row);
    if (m_rows.empty())
        clear();
    else if (m_deadBytes > m_liveBytes && m_deadBytes >= blockBytes)
        repack();
}

TrackOut TrackRows::at(qsizetype i) const
{
    const Row &row = m_rows[size_t(i)];
    TrackOut track;
    track.id = text(i, Id);
    track.title = text(i, Title);
    track.artist = artist(i);
    track.fileUrl = text(i, File);
    if (hasText(i, Cover))
        track.coverUrl = text(i, Cover);
    track.albumId = albumId(i);
    if (hasText(i, Lyrics))
        track.lyrics = text(i, Lyrics);
    if (row.rating >= 0)
        track.userRating = shared(row.rating);
    row.numbers.writeTo(track, row.flags);
    return track;
}

QList<TrackOut> TrackRows::all() const
{
    QList<TrackOut> tracks;
    tracks.reserve(size());
    for (qsizetype row = 0; row < size(); ++row)
        tracks.append(at(row));
    return tracks;
}

QString TrackRows::text(qsizetype i, Text which) const
{
    const Row &row = m_rows[size_t(i)];
    const qint32 length = row.lengths[which];
    if (length < 0)
        return {};
    if (length == 0)
        return QStringLiteral("");
    const char *at = row.texts + offsetOf(row, which);
    if (row.wide & (1 << which))
        return QString(reinterpret_cast<const QChar *>(at), length);
    return QString::fromLatin1(at, length);
}

bool TrackRows::hasId(qsizetype i, const QString &id) const
{
    const Row &row = m_rows[size_t(i)];
    if (row.lengths[Id] != id.size())
        return false;
    const char *at = row.texts + offsetOf(row, Id);
    if (row.wide & (1 << Id))
        return QStringView(reinterpret_cast<const QChar *>(at), id.size()) == id;
    return QLatin1StringView(at, id.size()) == id;
}

std::optional<QString> TrackRows::albumId(qsizetype row) const
{
    const qint32 album = m_rows[size_t(row)].album;
    return album >= 0 ? std::optional<QString>(shared(album)) : std::nullopt;
}

std::optional<qint64> TrackRows::trackNumber(qsizetype i) const
{
    const Row &row = m_rows[size_t(i)];
    return row.numbers.trackNumberIn(row.flags);
}

TrackRows::Row TrackRows::rowOf(const TrackOut &track, const Row &texts)
{
    Row row = texts;
    row.artist = intern(&track.artist);
    row.album = intern(track.albumId ? &*track.albumId : nullptr);
    row.rating = intern(track.userRating ? &*track.userRating : nullptr);
    row.numbers = CompactTrackNumbers::of(track, row.flags);
    if (track.isHiFi())
        row.flags |= CompactTrackNumbers::HiFi;
    return row;
}

TrackRows::Row TrackRows::rowOf(const TrackOut &track)
{
    const QString *const texts[TextCount] = {&track.id, &track.title, &track.fileUrl,
        track.coverUrl ? &*track.coverUrl : nullptr, track.lyrics ? &*track.lyrics : nullptr};
    Row row;
    for (int k = 0; k < TextCount; ++k) {
        row.lengths[k] = texts[k] ? qint32(texts[k]->size()) : -1;
        if (texts[k] && !isNarrow(*texts[k]))
            row.wide |= quint8(1 << k);
    }
    const qsizetype bytes = textBytes(row);
    char *into = space(bytes);
    row.texts = into;
    m_liveBytes += bytes;
    for (int k = 0; k < TextCount; ++k) {
        if (!texts[k])
            continue;
        char *at = into + offsetOf(row, k);
        if (row.wide & (1 << k)) {
            std::memcpy(at, texts[k]->constData(), size_t(texts[k]->size()) * sizeof(QChar));
        } else {
            for (QChar c : *texts[k])
                *at++ = char(c.unicode());
        }
    }
    return rowOf(track, row);
}

char *TrackRows::space(qsizetype bytes)
{
    if (bytes > blockBytes / 4) {
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size_t(bytes)));
        return m_blocks.back().get();
    }
    if (bytes > m_freeBytes) {
        // Small lists get small blocks; a long one's blocks grow with it.
        const qsizetype size = std::max(bytes, std::clamp(m_liveBytes / 8, smallestBlockBytes, blockBytes));
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size_t(size)));
        m_free = m_blocks.back().get();
        m_freeBytes = size;
    }
    char *at = m_free;
    m_free += bytes;
    m_freeBytes -= bytes;
    return at;
}

qsizetype TrackRows::textBytes(const Row &row)
{
    const qsizetype bytes = offsetOf(row, TextCount);
    return bytes + (bytes & 1);
}

qsizetype TrackRows::offsetOf(const Row &row, int which)
{
    qsizetype offset = 0;
    for (int k = 0; k < which; ++k) {
        if (row.lengths[k] < 0)
            continue;
        const bool wide = row.wide & (1 << k);
        if (wide)
            offset += offset & 1;
        offset += qsizetype(row.lengths[k]) * (wide ? 2 : 1);
    }
    if (which < TextCount && (row.wide & (1 << which)))
        offset += offset & 1;
    return offset;
}

qint32 TrackRows::intern(const QString *text)
{
    if (!text)
        return -1;
    const auto found = m_sharedNumbers.constFind(*text);
    if (found != m_sharedNumbers.cend())
        return *found;
    const auto number = qint32(m_shared.size());
    m_shared.push_back(*text);
    m_sharedNumbers.insert(*text, number);
    return number;
}

const QString &TrackRows::shared(qint32 number) const
{
    static const QString none;
    return number >= 0 ? m_shared[size_t(number)] : none;
}

void TrackRows::dropTexts(const Row &row)
{
    const qsizetype bytes = textBytes(row);
    m_liveBytes -= bytes;
    m_deadBytes += bytes;
}

void TrackRows::repack()
{
    // Rows replaced or removed left more dead text than live: the live texts
    // move into one block of their own size.
    qsizetype total = 0;
    for (const Row &row : m_rows)
        total += textBytes(row);
    auto block = std::make_unique_for_overwrite<char[]>(size_t(std::max<qsizetype>(total, 1)));
    char *at = block.get();
    for (Row &row : m_rows) {
        const qsizetype bytes = textBytes(row);
        if (bytes > 0)
            std::memcpy(at, row.texts, size_t(bytes));
        row.texts = at;
        at += bytes;
    }
    m_blocks.clear();
    m_blocks.push_back(std::move(block));
    m_free = nullptr;
    m_freeBytes = 0;
    m_deadBytes = 0;
    m_liveBytes = total;
}

} // namespace nimbra
