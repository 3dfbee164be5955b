// The artist profiles of the whole catalogue and their latest releases.
//
// The catalogue can hold a million tracks, so nothing here walks the whole
// catalogue once per artist or per album. Track ids, album ids and credit
// texts are numbered once, on all cores; each distinct credit is split once,
// also on all cores; the derivation proper then runs on integer arrays (a
// track's artists are a short chain read in place, an artist's albums one
// probe of a flat table), and the profiles are made side by side. The results do not depend on the number
// of cores: every parallel step writes each result into its own place.

#include "artists/artistcataloglogic.h"
#include "artists/pairset.h"
#include "artists/textnumbering.h"

#include <QCollator>

#include <bit>
#include <cstring>
#include <numeric>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// One name of a credit text as key ids, before and after the alias table.
struct NameKeys
{
    int rawKey;
    int key;
};

struct MutableArtist
{
    QString name;
    int key = -1;
    std::vector<quint32> tracks; // indices into the input, first occurrence of each id
    std::vector<int> albumSlots; // the linked album ids, in the order they were met
    std::optional<QString> coverUrl;
};

// One album id met on a track or an album.
struct AlbumSlot
{
    QString id;
    qsizetype trackCount = 0; // tracks that have this album id
    qsizetype firstAlbum = -1; // the first album of the input with this id
};

// A text as a hash key. Qt 6.4 hashes a text shorter than 16 bytes with a
// seed in some 130 ns, twenty times the time of a longer one, and short track
// ids, album ids and artist keys are common; this seeded multiply-mix hash
// takes a few nanoseconds at any length.
struct TextKey
{
    QString text;

    bool operator==(const TextKey &other) const { return text == other.text; }
};

size_t qHash(const TextKey &key, size_t seed)
{
    return size_t(TextNumbering::hash(key.text)) ^ seed;
}

// The value stored under key, storing value first when the key is new; one
// hash lookup either way.
template<typename V>
std::pair<V, bool> findOrInsert(QHash<TextKey, V> &hash, const QString &key, std::type_identity_t<V> value)
{
    const qsizetype before = hash.size();
    V &slot = hash[TextKey {key}];
    if (hash.size() == before)
        return {slot, false};
    slot = value;
    return {value, true};
}

QString kindLabelFor(qsizetype trackCount)
{
    if (trackCount >= 7)
        return u"Альбом"_s;
    if (trackCount >= 3)
        return u"EP"_s;
    return u"Сингл"_s;
}

} // namespace

class ArtistCatalogLogic::CatalogDerivation
{
public:
    CatalogDerivation(const QList<TrackOut> &tracks, const QList<AlbumOut> &albums) : m_tracks(tracks), m_albums(albums)
    {
    }

    QList<ArtistProfile> run()
    {
        indexTracks();
        internCredits();
        for (qsizetype t = 0; t < m_tracks.size(); ++t)
            addTrackCredits(t);
        for (qsizetype a = 0; a < m_albums.size(); ++a)
            addAlbumCredits(a);
        makeTrackTable();
        return sortedProfiles();
    }

private:
    void indexTracks()
    {
        const qsizetype n = m_tracks.size();
        std::vector<qsizetype> firsts;
        // Tracks with the same id are one track: they share a number.
        m_canonicalTrack = TextNumbering::number(
            n, [this](qsizetype t) -> const QString & { return m_tracks.at(t).id; }, firsts);
        // Most tracks have one or two artists.
        m_memberships.emplace(firsts.size(), size_t(n) + size_t(n) / 2);

        // The album ids of the tracks, then those of the albums, numbered
        // together; a track without album id is grouped under the empty id.
        const QString none;
        const auto albumIdAt = [&](qsizetype i) -> const QString & {
            if (i >= n)
                return m_albums.at(i - n).id;
            const std::optional<QString> &id = m_tracks.at(i).albumId;
            return id ? *id : none;
        };
        const std::vector<int> albumNumbers = TextNumbering::number(n + m_albums.size(), albumIdAt, firsts);
        m_slots.resize(firsts.size());
        for (size_t slot = 0; slot < firsts.size(); ++slot)
            m_slots[slot].id = albumIdAt(firsts[slot]);
        m_trackSlot.resize(size_t(n));
        TextNumbering::forEach(n, [&](qsizetype t) {
            m_trackSlot[size_t(t)] = m_tracks.at(t).albumId ? albumNumbers[size_t(t)] : -1;
        });
        m_singleKey.resize(size_t(n), -1);
        // The tracks of each slot, in input order, one slot after another.
        m_slotBegin.assign(m_slots.size() + 1, 0);
        for (qsizetype t = 0; t < n; ++t) {
            ++m_slotBegin[size_t(albumNumbers[size_t(t)]) + 1];
            if (m_trackSlot[size_t(t)] >= 0)
                ++m_slots[size_t(m_trackSlot[size_t(t)])].trackCount;
        }
        std::partial_sum(m_slotBegin.begin(), m_slotBegin.end(), m_slotBegin.begin());
        m_slotTracks.resize(size_t(n));
        std::vector<quint32> filled(m_slotBegin.begin(), m_slotBegin.end() - 1);
        for (qsizetype t = 0; t < n; ++t)
            m_slotTracks[filled[size_t(albumNumbers[size_t(t)])]++] = quint32(t);
        m_albumSlot.assign(albumNumbers.begin() + n, albumNumbers.end());
    }

    int keyId(const QString &key)
    {
        const auto [id, isNew] = findOrInsert(m_keyIds, key, int(m_entryOfKey.size()));
        if (isNew)
            m_entryOfKey.push_back(-1);
        return id;
    }

    // Credit texts repeat across a catalogue (an artist's every track carries
    // the same one), so every distinct text, of a credit or of a title's
    // featuring part, gets a number and is split only once. The titles are
    // read and the texts split side by side; their names are numbered after,
    // in the order the texts were met.
    void internCredits()
    {
        const qsizetype n = m_tracks.size();
        std::vector<QString> featured(static_cast<size_t>(n));
        TextNumbering::forEach(n, [this, &featured](qsizetype t) {
            if (std::optional<QString> names = ArtistCatalogLogic::parseTitleFeat(m_tracks.at(t).title))
                featured[size_t(t)] = std::move(*names);
        });
        std::vector<qsizetype> guestTracks;
        for (qsizetype t = 0; t < n; ++t) {
            if (!featured[size_t(t)].isNull())
                guestTracks.push_back(t);
        }
        const qsizetype guests = qsizetype(guestTracks.size());
        // Track credits, the titles' featuring parts, album credits.
        const auto creditAt = [&](qsizetype i) -> const QString & {
            if (i < n)
                return m_tracks.at(i).artist;
            if (i < n + guests)
                return featured[size_t(guestTracks[size_t(i - n)])];
            return m_albums.at(i - n - guests).artist;
        };
        std::vector<qsizetype> firsts;
        const std::vector<int> numbers = TextNumbering::number(n + guests + m_albums.size(), creditAt, firsts);
        m_trackCredit.assign(numbers.begin(), numbers.begin() + n);
        m_titleCredit.assign(size_t(n), -1);
        for (qsizetype g = 0; g < guests; ++g)
            m_titleCredit[size_t(guestTracks[size_t(g)])] = numbers[size_t(n + g)];
        m_albumCredit.assign(numbers.begin() + n + guests, numbers.end());

        m_creditText.reserve(firsts.size());
        for (const qsizetype first : firsts)
            m_creditText.push_back(creditAt(first));
        std::vector<QString>().swap(featured);

        // In blocks, so that the names of only one block are held as texts.
        struct Split
        {
            QStringList rawKeys;
            QStringList aliasKeys; // null where the alias table has no entry
        };
        constexpr qsizetype kBlock = 1 << 15;
        const qsizetype credits = qsizetype(m_creditText.size());
        std::vector<Split> splits;
        m_creditBegin.reserve(size_t(credits) + 1);
        for (qsizetype from = 0; from < credits; from += kBlock) {
            splits.assign(size_t(std::min(kBlock, credits - from)), Split());
            TextNumbering::forEach(qsizetype(splits.size()), [&](qsizetype j) {
                Split &split = splits[size_t(j)];
                const QStringList names = ArtistCatalogLogic::splitArtists(m_creditText[size_t(from + j)]);
                split.rawKeys.reserve(names.size());
                split.aliasKeys.reserve(names.size());
                for (const QString &name : names) {
                    split.rawKeys.append(ArtistCatalogLogic::normKey(name));
                    const QString *alias = ArtistCatalogLogic::aliasOf(split.rawKeys.last());
                    split.aliasKeys.append(alias ? ArtistCatalogLogic::normKey(*alias) : QString());
                }
            });
            for (const Split &split : splits) {
                m_creditBegin.push_back(quint32(m_names.size()));
                for (qsizetype i = 0; i < split.rawKeys.size(); ++i) {
                    const int rawKey = keyId(split.rawKeys.at(i));
                    m_names.push_back({rawKey, split.aliasKeys.at(i).isNull() ? rawKey : keyId(split.aliasKeys.at(i))});
                }
            }
            // Freed where they were made, not one by one on this thread.
            TextNumbering::forEach(qsizetype(splits.size()), [&](qsizetype j) { splits[size_t(j)] = Split(); });
        }
        m_creditBegin.push_back(quint32(m_names.size()));
    }

    // What the profiles keep of the tracks: the numbered credits and album
    // ids stand for the texts. Made once the credits are no longer split,
    // so that the credit texts move into the table.
    void makeTrackTable()
    {
        std::vector<QString> texts = std::move(m_creditText);
        const int firstAlbum = int(texts.size());
        for (const AlbumSlot &slot : m_slots)
            texts.push_back(slot.id);
        m_table = std::make_shared<const CompactTrackTable>(m_tracks,
            CompactTrackTable::SharedTexts {std::move(texts),
                [this](qsizetype t) { return m_trackCredit[size_t(t)]; },
                [this, firstAlbum](qsizetype t) { return m_trackSlot[t] < 0 ? -1 : firstAlbum + m_trackSlot[t]; }});
    }

    std::span<const NameKeys> namesOf(int credit) const
    {
        return {m_names.data() + m_creditBegin[size_t(credit)], m_names.data() + m_creditBegin[size_t(credit) + 1]};
    }

    // The display name of a credit's name: asked only when it makes an
    // artist, so the credit is split again rather than kept as texts.
    QString displayName(int credit, qsizetype i)
    {
        if (m_splitCredit != credit) {
            m_split = ArtistCatalogLogic::splitArtists(m_creditText[size_t(credit)]);
            m_splitCredit = credit;
        }
        const QString &name = m_split.at(i);
        const QString *alias = ArtistCatalogLogic::aliasOf(ArtistCatalogLogic::normKey(name));
        return alias ? *alias : name;
    }

    int entryFor(int credit, qsizetype i)
    {
        const int key = namesOf(credit)[size_t(i)].key;
        int &entry = m_entryOfKey[key];
        if (entry < 0) {
            entry = int(m_entries.size());
            m_entries.push_back(MutableArtist {displayName(credit, i), key, {}, {}, std::nullopt});
        }
        return entry;
    }

    void linkAlbum(int entry, int slot)
    {
        if (m_artistAlbums.insert(quint32(entry), quint32(slot)))
            m_entries[entry].albumSlots.push_back(slot);
    }

    void addTrack(int entry, qsizetype t)
    {
        if (m_memberships->insert(entry, m_canonicalTrack[t]))
            m_entries[entry].tracks.push_back(quint32(t));
        if (m_trackSlot[t] >= 0)
            linkAlbum(entry, m_trackSlot[t]);
        MutableArtist &artist = m_entries[entry];
        if (!artist.coverUrl)
            artist.coverUrl = m_tracks.at(t).coverUrl;
    }

    void addTrackCredits(qsizetype t)
    {
        const int credit = m_trackCredit[size_t(t)];
        if (m_trackSlot[t] < 0)
            m_singleKey[t] = namesOf(credit).front().rawKey;
        for (qsizetype i = 0; i < qsizetype(namesOf(credit).size()); ++i)
            addTrack(entryFor(credit, i), t);
        if (const int guests = m_titleCredit[size_t(t)]; guests >= 0) {
            for (qsizetype i = 0; i < qsizetype(namesOf(guests).size()); ++i)
                addTrack(entryFor(guests, i), t);
        }
    }

    void addAlbumCredits(qsizetype a)
    {
        const AlbumOut &album = m_albums.at(a);
        const int credit = m_albumCredit[size_t(a)];
        const int slot = m_albumSlot[size_t(a)];
        if (m_slots[slot].firstAlbum < 0)
            m_slots[slot].firstAlbum = a;
        for (qsizetype i = 0; i < qsizetype(namesOf(credit).size()); ++i) {
            const int entry = entryFor(credit, i);
            linkAlbum(entry, slot);
            MutableArtist &artist = m_entries[entry];
            if (!artist.coverUrl)
                artist.coverUrl = album.coverUrl;
            // Adding the same album's tracks to the same artist again changes
            // nothing, so a repeated album entry is not walked twice.
            if (!m_walkedSlots.insert(quint32(entry), quint32(slot)))
                continue;
            for (quint32 at = m_slotBegin[size_t(slot)]; at < m_slotBegin[size_t(slot) + 1]; ++at)
                addTrack(entry, m_slotTracks[at]);
        }
    }

    std::optional<ArtistLatestRelease> latestRelease(const MutableArtist &artist) const
    {
        qsizetype chosenAlbum = -1;
        qsizetype chosenTrack = -1;
        std::optional<QDateTime> chosenDate;
        // A candidate wins over an undated choice, and over a dated one only
        // when it is strictly newer: the first of equal dates stays.
        const auto isNewer
            = [&](const std::optional<QDateTime> &date) { return !chosenDate || (date && *date > *chosenDate); };
        int chosenSlot = -1;
        for (const int slot : artist.albumSlots) {
            const qsizetype a = m_slots[slot].firstAlbum;
            const auto names = a < 0 ? std::span<const NameKeys>() : namesOf(m_albumCredit[size_t(a)]);
            if (std::none_of(names.begin(), names.end(), [&](const NameKeys &n) { return n.rawKey == artist.key; }))
                continue;
            const std::optional<QDateTime> &date = m_albums.at(a).createdAt;
            if (isNewer(date)) {
                chosenAlbum = a;
                chosenSlot = slot;
                chosenDate = date;
            }
        }
        for (const qsizetype t : artist.tracks) {
            // One small array read first: most tracks are no candidates.
            if (m_singleKey[t] != artist.key)
                continue;
            const TrackOut &track = m_tracks.at(t);
            if (isNewer(track.createdAt)) {
                chosenAlbum = -1;
                chosenTrack = t;
                chosenDate = track.createdAt;
            }
        }
        if (chosenTrack >= 0) {
            const TrackOut &track = m_tracks.at(chosenTrack);
            return ArtistLatestRelease {track, track.title, track.artist, track.coverUrl, track.createdAt, u"Сингл"_s};
        }
        if (chosenAlbum >= 0) {
            const AlbumOut &album = m_albums.at(chosenAlbum);
            return ArtistLatestRelease {album, album.title, album.artist, album.coverUrl, album.createdAt,
                kindLabelFor(m_slots[chosenSlot].trackCount)};
        }
        return std::nullopt;
    }

    QList<ArtistProfile> sortedProfiles()
    {
        // Each profile reads only the finished index, so they are made side
        // by side, each into its own place.
        QList<ArtistProfile> profiles(qsizetype(m_entries.size()));
        ArtistProfile *const made = profiles.data();
        const auto makeProfile = [this, made](qsizetype i) {
            MutableArtist &artist = m_entries[size_t(i)];
            ArtistProfile &profile = made[i];
            profile.id = artist.name;
            profile.name = artist.name;
            profile.coverUrl = artist.coverUrl;
            profile.albumIds.reserve(qsizetype(artist.albumSlots.size()));
            for (const int slot : artist.albumSlots)
                profile.albumIds.insert(m_slots[slot].id);
            profile.latestRelease = latestRelease(artist);
            profile.tracks = ArtistTrackList(m_table, std::move(artist.tracks));
        };
        TextNumbering::forEach(profiles.size(), makeProfile);

        // The current locale's order; a collator is not to be shared
        // between threads, so each piece of names has its own.
        constexpr qsizetype kPiece = 1024;
        std::vector<std::optional<QCollatorSortKey>> sortKeys(profiles.size());
        TextNumbering::forEach((profiles.size() + kPiece - 1) / kPiece, [&](qsizetype piece) {
            const QCollator collator;
            for (qsizetype i = piece * kPiece; i < std::min(profiles.size(), (piece + 1) * kPiece); ++i)
                sortKeys[size_t(i)] = collator.sortKey(profiles.at(i).name);
        });
        std::vector<qsizetype> order(profiles.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
            [&](qsizetype a, qsizetype b) { return sortKeys[size_t(a)]->compare(*sortKeys[size_t(b)]) < 0; });
        QList<ArtistProfile> sorted;
        sorted.reserve(profiles.size());
        for (const qsizetype i : order)
            sorted.append(std::move(profiles[i]));
        return sorted;
    }

    const QList<TrackOut> &m_tracks;
    const QList<AlbumOut> &m_albums;
    std::shared_ptr<const CompactTrackTable> m_table;

    QHash<TextKey, int> m_keyIds;
    std::vector<int> m_entryOfKey; // by key id; -1 while no artist has that key
    std::vector<MutableArtist> m_entries;
    std::vector<QString> m_creditText; // by credit id
    std::vector<quint32> m_creditBegin; // by credit id: its first name in m_names, and one past the last
    std::vector<NameKeys> m_names;
    int m_splitCredit = -1;
    QStringList m_split; // the names of m_splitCredit
    std::vector<int> m_trackCredit; // credit id of each track's credit
    std::vector<int> m_titleCredit; // credit id of its title's featuring part, -1 without one
    std::vector<int> m_albumCredit;

    std::vector<int> m_canonicalTrack; // the number of the track's id
    std::vector<int> m_trackSlot; // the album slot of the track's album id, -1 without one
    std::vector<int> m_singleKey; // without album id: key id of the first credited name; else -1
    std::optional<TrackArtists> m_memberships; // by canonical track

    std::vector<int> m_albumSlot; // the album slot of each album's id
    std::vector<AlbumSlot> m_slots;
    std::vector<quint32> m_slotBegin; // by slot: its first track in m_slotTracks, and one past the last
    std::vector<quint32> m_slotTracks; // the tracks of each slot's album id (the empty id: also those without)
    PairSet m_artistAlbums; // (artist, album slot)
    PairSet m_walkedSlots; // (artist, album slot) whose tracks were added
};

QList<ArtistProfile> ArtistCatalogLogic::buildCatalog(const QList<TrackOut> &tracks, const QList<AlbumOut> &albums)
{
    return CatalogDerivation(tracks, albums).run();
}

} // namespace nimbra
