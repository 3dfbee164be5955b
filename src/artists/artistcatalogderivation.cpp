// The artist profiles of the whole catalogue, their latest releases, the
// lookup of a profile by name and the Russian release date.
//
// The catalogue can hold a million tracks, so nothing here walks the whole
// catalogue once per artist or per album: names are interned to integer ids,
// tracks are grouped by album id once, a track's membership in an artist is
// one hash-set lookup, and each distinct credit text is split only once.

#include "artistcataloglogic.h"

#include <QCollator>

#include <deque>
#include <vector>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The names of one credit text as key ids, before and after the alias table.
struct CreditNames
{
    QList<int> rawKeys;
    QList<int> keys;
    QStringList displayNames;
};

struct MutableArtist
{
    QString name;
    int key = -1;
    std::vector<qsizetype> tracks; // indices into the input, first occurrence of each id
    QSet<QString> albumIDs;
    QStringList albumOrder; // albumIDs in the order they were met
    std::optional<QString> coverURL;
};

// The value stored under key, storing value first when the key is new; one
// hash lookup either way.
template<typename V>
std::pair<V, bool> findOrInsert(QHash<QString, V> &hash, const QString &key, std::type_identity_t<V> value)
{
    const qsizetype before = hash.size();
    V &slot = hash[key];
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
        for (qsizetype t = 0; t < m_tracks.size(); ++t)
            addTrackCredits(t);
        m_albumRawKeys.resize(m_albums.size());
        for (qsizetype a = 0; a < m_albums.size(); ++a)
            addAlbumCredits(a);
        return sortedProfiles();
    }

private:
    void indexTracks()
    {
        m_canonicalTrack.reserve(m_tracks.size());
        m_trackOfId.reserve(m_tracks.size());
        m_primaryRawKey.resize(m_tracks.size(), -1);
        for (qsizetype t = 0; t < m_tracks.size(); ++t) {
            const TrackOut &track = m_tracks.at(t);
            m_canonicalTrack.push_back(findOrInsert(m_trackOfId, track.id, t).first);
            // A track without album id is grouped under the empty id.
            const QString albumKey = track.albumID.value_or(QString());
            const auto [g, isNewGroup] = findOrInsert(m_groupOfAlbum, albumKey, int(m_albumGroups.size()));
            if (isNewGroup) {
                m_albumGroups.emplace_back();
                m_albumGroupCounts.push_back(0);
            }
            m_albumGroups[g].push_back(t);
            if (track.albumID)
                ++m_albumGroupCounts[g];
        }
    }

    int keyId(const QString &key)
    {
        const auto [id, isNew] = findOrInsert(m_keyIds, key, int(m_entryOfKey.size()));
        if (isNew)
            m_entryOfKey.push_back(-1);
        return id;
    }

    // Credit texts repeat across a catalogue (an artist's every track carries
    // the same one), so each distinct text is split and resolved only once.
    const CreditNames &creditNames(const QString &credit)
    {
        const auto found = m_creditIndex.constFind(credit);
        if (found != m_creditIndex.constEnd())
            return m_credits[found.value()];
        CreditNames names;
        const QHash<QString, QString> &aliases = ArtistCatalogLogic::artistAliases();
        for (const QString &name : ArtistCatalogLogic::splitArtists(credit)) {
            const QString rawKey = ArtistCatalogLogic::normKey(name);
            names.rawKeys.append(keyId(rawKey));
            const auto alias = aliases.constFind(rawKey);
            if (alias != aliases.constEnd()) {
                names.keys.append(keyId(ArtistCatalogLogic::normKey(alias.value())));
                names.displayNames.append(alias.value());
            } else {
                names.keys.append(names.rawKeys.last());
                names.displayNames.append(name);
            }
        }
        m_creditIndex.insert(credit, int(m_credits.size()));
        m_credits.push_back(std::move(names));
        return m_credits.back();
    }

    int entryFor(int key, const QString &displayName)
    {
        int &entry = m_entryOfKey[key];
        if (entry < 0) {
            entry = int(m_entries.size());
            m_entries.push_back(MutableArtist {displayName, key, {}, {}, {}, std::nullopt});
        }
        return entry;
    }

    static void insertAlbumID(MutableArtist &artist, const QString &albumID)
    {
        const qsizetype before = artist.albumIDs.size();
        artist.albumIDs.insert(albumID);
        if (artist.albumIDs.size() != before)
            artist.albumOrder.append(albumID);
    }

    void addTrack(int entry, qsizetype t)
    {
        MutableArtist &artist = m_entries[entry];
        const TrackOut &track = m_tracks.at(t);
        const quint64 membership = (quint64(entry) << 32) | quint64(m_canonicalTrack[t]);
        const qsizetype before = m_memberships.size();
        m_memberships.insert(membership);
        if (m_memberships.size() != before)
            artist.tracks.push_back(t);
        if (track.albumID)
            insertAlbumID(artist, *track.albumID);
        if (!artist.coverURL)
            artist.coverURL = track.coverURL;
    }

    void addTrackCredits(qsizetype t)
    {
        const TrackOut &track = m_tracks.at(t);
        const CreditNames &credit = creditNames(track.artist);
        m_primaryRawKey[t] = credit.rawKeys.first();
        for (qsizetype i = 0; i < credit.keys.size(); ++i)
            addTrack(entryFor(credit.keys.at(i), credit.displayNames.at(i)), t);
        if (const std::optional<QString> featured = ArtistCatalogLogic::parseTitleFeat(track.title)) {
            const CreditNames &guests = creditNames(*featured);
            for (qsizetype i = 0; i < guests.keys.size(); ++i)
                addTrack(entryFor(guests.keys.at(i), guests.displayNames.at(i)), t);
        }
    }

    void addAlbumCredits(qsizetype a)
    {
        const AlbumOut &album = m_albums.at(a);
        const CreditNames &credit = creditNames(album.artist);
        m_albumRawKeys[a] = credit.rawKeys;
        findOrInsert(m_firstAlbumOfId, album.id, a);
        const int group = m_groupOfAlbum.value(album.id, -1);
        for (qsizetype i = 0; i < credit.keys.size(); ++i) {
            const int entry = entryFor(credit.keys.at(i), credit.displayNames.at(i));
            MutableArtist &artist = m_entries[entry];
            insertAlbumID(artist, album.id);
            if (!artist.coverURL)
                artist.coverURL = album.coverURL;
            // Adding the same album's tracks to the same artist again changes
            // nothing, so a repeated album entry is not walked twice.
            if (group < 0)
                continue;
            const qsizetype before = m_walkedGroups.size();
            m_walkedGroups.insert((quint64(entry) << 32) | quint64(group));
            if (m_walkedGroups.size() == before)
                continue;
            for (const qsizetype t : m_albumGroups[group])
                addTrack(entry, t);
        }
    }

    qsizetype catalogueTrackCount(const QString &albumID) const
    {
        const int group = m_groupOfAlbum.value(albumID, -1);
        return group < 0 ? 0 : m_albumGroupCounts[group];
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
        for (const QString &albumID : artist.albumOrder) {
            const qsizetype a = m_firstAlbumOfId.value(albumID, -1);
            if (a < 0 || !m_albumRawKeys[a].contains(artist.key))
                continue;
            const std::optional<QDateTime> &date = m_albums.at(a).createdAt;
            if (isNewer(date)) {
                chosenAlbum = a;
                chosenDate = date;
            }
        }
        for (const qsizetype t : artist.tracks) {
            const TrackOut &track = m_tracks.at(t);
            if (track.albumID || m_primaryRawKey[t] != artist.key)
                continue;
            if (isNewer(track.createdAt)) {
                chosenAlbum = -1;
                chosenTrack = t;
                chosenDate = track.createdAt;
            }
        }
        if (chosenTrack >= 0) {
            const TrackOut &track = m_tracks.at(chosenTrack);
            return ArtistLatestRelease {track, track.title, track.artist, track.coverURL, track.createdAt, u"Сингл"_s};
        }
        if (chosenAlbum >= 0) {
            const AlbumOut &album = m_albums.at(chosenAlbum);
            return ArtistLatestRelease {album, album.title, album.artist, album.coverURL, album.createdAt,
                kindLabelFor(catalogueTrackCount(album.id))};
        }
        return std::nullopt;
    }

    QList<ArtistProfile> sortedProfiles()
    {
        QList<ArtistProfile> profiles;
        profiles.reserve(qsizetype(m_entries.size()));
        for (MutableArtist &artist : m_entries) {
            ArtistProfile profile;
            profile.id = artist.name;
            profile.name = artist.name;
            profile.coverURL = artist.coverURL;
            profile.tracks.reserve(qsizetype(artist.tracks.size()));
            for (const qsizetype t : artist.tracks)
                profile.tracks.append(m_tracks.at(t));
            profile.latestRelease = latestRelease(artist);
            profile.albumIDs = std::move(artist.albumIDs);
            profiles.append(std::move(profile));
        }

        const QCollator collator; // the current locale's order
        std::vector<QCollatorSortKey> sortKeys;
        sortKeys.reserve(profiles.size());
        std::vector<qsizetype> order(profiles.size());
        for (qsizetype i = 0; i < profiles.size(); ++i) {
            sortKeys.push_back(collator.sortKey(profiles.at(i).name));
            order[i] = i;
        }
        std::stable_sort(
            order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return sortKeys[a].compare(sortKeys[b]) < 0; });
        QList<ArtistProfile> sorted;
        sorted.reserve(profiles.size());
        for (const qsizetype i : order)
            sorted.append(std::move(profiles[i]));
        return sorted;
    }

    const QList<TrackOut> &m_tracks;
    const QList<AlbumOut> &m_albums;

    QHash<QString, int> m_keyIds;
    std::vector<int> m_entryOfKey; // by key id; -1 while no artist has that key
    std::vector<MutableArtist> m_entries;
    QHash<QString, int> m_creditIndex;
    std::deque<CreditNames> m_credits; // a deque keeps references stable while it grows

    QHash<QString, qsizetype> m_trackOfId;
    std::vector<qsizetype> m_canonicalTrack; // the first track with the same id
    std::vector<int> m_primaryRawKey; // key id of the first credited name
    QSet<quint64> m_memberships; // (artist, canonical track)

    QHash<QString, int> m_groupOfAlbum;
    std::vector<std::vector<qsizetype>> m_albumGroups; // track indices by album id, input order
    std::vector<qsizetype> m_albumGroupCounts; // of those, the tracks that have an album id
    QSet<quint64> m_walkedGroups; // (artist, album group)

    QHash<QString, qsizetype> m_firstAlbumOfId;
    std::vector<QList<int>> m_albumRawKeys;
};

QList<ArtistProfile> ArtistCatalogLogic::buildCatalog(const QList<TrackOut> &tracks, const QList<AlbumOut> &albums)
{
    return CatalogDerivation(tracks, albums).run();
}

std::optional<ArtistCatalogLogic::ProfileMatch> ArtistCatalogLogic::findProfile(
    const QString &name, const QList<ArtistProfile> &profiles)
{
    const auto match = [](const ArtistProfile &profile) { return ProfileMatch {profile, profile.name}; };
    const QString key = normKey(name);
    QStringList profileKeys;
    profileKeys.reserve(profiles.size());
    for (const ArtistProfile &profile : profiles) {
        profileKeys.append(normKey(profile.name));
        if (profileKeys.last() == key)
            return match(profile);
    }
    for (const QString &part : splitArtists(name)) {
        const qsizetype i = profileKeys.indexOf(normKey(part));
        if (i >= 0)
            return match(profiles.at(i));
    }
    return std::nullopt;
}

std::optional<QString> ArtistCatalogLogic::formatRuReleaseDate(const std::optional<QDateTime> &date)
{
    if (!date || !date->isValid())
        return std::nullopt;
    // The long Russian date names the month in the genitive. Written out here
    // so the text does not depend on which locales the system has installed.
    static const char16_t *const months[] = {u"января", u"февраля", u"марта", u"апреля", u"мая", u"июня", u"июля",
        u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    const QDate day = date->toLocalTime().date();
    return u"%1 %2 %3 г."_s.arg(day.day()).arg(QString::fromUtf16(months[day.month() - 1])).arg(day.year());
}

} // namespace nimbra
