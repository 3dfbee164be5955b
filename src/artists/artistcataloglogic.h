#pragma once

#include "api/accountrecords.h"
#include "api/catalogrecords.h"
#include "artists/artistpagecontent.h"
#include "artists/artistprofile.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace nimbra {

// The artist rules of the client. The service knows no artists, only credit
// texts on tracks and albums; everything here derives artists from those
// texts. Pure functions: they read their arguments only and may run on any
// thread.
class ArtistCatalogLogic
{
public:
    ArtistCatalogLogic() = delete;

    // Names written with other letter case or with Cyrillic letters that look
    // like Latin ones denote the same artist: they have the same key.
    static QString normKey(const QString &name);
    // The artist names of a credit text, in credit order; never empty.
    static QStringList splitArtists(const QString &credit);
    static bool albumCreditsHasArtist(const QString &credit, const QString &name);

    // One profile per artist named by a track credit, a track title's featuring
    // part or an album credit, sorted by name in the current locale's order.
    static QList<ArtistProfile> buildCatalog(const QList<TrackOut> &tracks, const QList<AlbumOut> &albums);

    struct ProfileMatch
    {
        ArtistProfile profile;
        QString resolvedName; // the profile's own name
    };
    // The profile of a name, else of the first of its credited names that has one.
    static std::optional<ProfileMatch> findProfile(const QString &name, const QList<ArtistProfile> &profiles);

    // "5 марта 2024 г." in the local time zone; nothing without a date.
    static std::optional<QString> formatRuReleaseDate(const std::optional<QDateTime> &date);

    // The page of an artist, or nothing when no profile answers to the name.
    static std::optional<ArtistPageContent> buildPage(const QString &name, const QList<ArtistProfile> &profiles,
        const QList<AlbumOut> &albums, const QStringList &featuredNames, const std::optional<UserOut> &user);

private:
    class CatalogDerivation;

    // The featured names written in a track title ("Song (feat. B & C)" gives "B & C").
    static std::optional<QString> parseTitleFeat(const QString &title);
    static bool isMyArtist(const QString &name, const std::optional<UserOut> &user);
    // The display name under which the artist of a key is shown, when it
    // is not the name as written; null otherwise.
    static const QString *aliasOf(const QString &key);
};

} // namespace nimbra
