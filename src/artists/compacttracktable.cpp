#include "artists/compacttracktable.h"

#include "artists/textnumbering.h"

#include <QHash>

#include <cstring>

namespace nimbra {

namespace {

// The number of text in texts, adding it when it is new (numbers holds
// each number plus one, so that a new entry's 0 means new).
int intern(QHash<QString, int> &numbers, std::vector<QString> &texts, const QString &text)
{
    int &number = numbers[text];
    if (number == 0) {
        texts.push_back(text);
        number = int(texts.size());
    }
    return number - 1;
}

} // namespace

CompactTrackTable::CompactTrackTable(const QList<TrackOut> &tracks)
{
    // Few tracks (a page's own list): the shared texts are found here.
    QHash<QString, int> numbers;
    std::vector<int> credits;
    std::vector<int> albums;
    std::vector<QString> texts;
    credits.reserve(size_t(tracks.size()));
    albums.reserve(size_t(tracks.size()));
    for (const TrackOut &track : tracks) {
        credits.push_back(intern(numbers, texts, track.artist));
        albums.push_back(track.albumId ? intern(numbers, texts, *track.albumId) : -1);
    }
    fill(tracks,
        SharedTexts {std::move(texts), [&credits](qsizetype t) { return credits[size_t(t)]; },
            [&albums](qsizetype t) { return albums[size_t(t)]; }});
}

CompactTrackTable::CompactTrackTable(const QList<TrackOut> &tracks, SharedTexts shared)
{
    fill(tracks, std::move(shared));
}

void CompactTrackTable::fill(const QList<TrackOut> &tracks, SharedTexts shared)
{
    const qsizetype n = tracks.size();
    m_shared = std::move(shared.texts);
    m_rows.resize(size_t(n));
    // Each row is filled on its own, side by side; only where its texts
    // begin depends on the rows before it.
    constexpr qint32 kRatingToNumber = -2;
    TextNumbering::forEach(n, [&](qsizetype t) {
        const TrackOut &track = tracks.at(t);
        Row &row = m_rows[size_t(t)];
        const std::optional<QString> *optional[] = {nullptr, nullptr, nullptr, &track.coverUrl, &track.lyrics};
        const QString *present[] = {&track.id, &track.title, &track.fileUrl, nullptr, nullptr};
        for (int k = 0; k < TextCount; ++k) {
            const QString *text = present[k] ? present[k] : (optional[k]->has_value() ? &**optional[k] : nullptr);
            row.lengths[k] = text ? qint32(text->size()) : -1;
        }
        row.credit = shared.credit(t);
        row.album = shared.album(t);
        if (track.userRating)
            row.rating = kRatingToNumber;
        row.numbers = CompactTrackNumbers::of(track, row.flags);
    });
    // Ratings are few and of few kinds; they join the shared texts here.
    QHash<QString, int> ratings;
    qsizetype textSize = 0;
    for (qsizetype t = 0; t < n; ++t) {
        Row &row = m_rows[size_t(t)];
        row.textAt = textSize;
        for (const qint32 length : row.lengths)
            textSize += std::max(length, 0);
        if (row.rating == kRatingToNumber)
            row.rating = intern(ratings, m_shared, *tracks.at(t).userRating);
    }

    // The texts are copied into place side by side: each row knows where.
    m_text = QString(textSize, Qt::Uninitialized);
    QChar *const into = m_text.data();
    TextNumbering::forEach(n, [&](qsizetype t) {
        const TrackOut &track = tracks.at(t);
        const Row &row = m_rows[size_t(t)];
        QChar *at = into + row.textAt;
        for (const QString *text : {&track.id, &track.title, &track.fileUrl,
                 track.coverUrl ? &*track.coverUrl : nullptr, track.lyrics ? &*track.lyrics : nullptr}) {
            if (!text)
                continue;
            std::memcpy(static_cast<void *>(at), text->constData(), size_t(text->size()) * sizeof(QChar));
            at += text->size();
        }
    });
}

TrackOut CompactTrackTable::at(qsizetype i) const
{
    const Row &row = m_rows[size_t(i)];
    const QChar *at = m_text.constData() + row.textAt;
    QString texts[TextCount];
    bool present[TextCount] = {};
    for (int k = 0; k < TextCount; ++k) {
        if (row.lengths[k] < 0)
            continue;
        present[k] = true;
        texts[k] = QString(at, row.lengths[k]);
        at += row.lengths[k];
    }
    TrackOut track;
    track.id = texts[Id];
    track.title = texts[Title];
    track.artist = m_shared[size_t(row.credit)];
    track.fileUrl = texts[File];
    if (present[Cover])
        track.coverUrl = texts[Cover];
    if (row.album >= 0)
        track.albumId = m_shared[size_t(row.album)];
    if (present[Lyrics])
        track.lyrics = texts[Lyrics];
    if (row.rating >= 0)
        track.userRating = m_shared[size_t(row.rating)];
    row.numbers.writeTo(track, row.flags);
    return track;
}

} // namespace nimbra
