#pragma once

#include "accountrecords.h"
#include "apiclient.h"
#include "catalogrecords.h"

#include <QStringList>

namespace nimbra {

// The typed client of the service: one operation per endpoint, each making
// exactly one request. Failures arrive as APIError (from the transport) or
// as the decoder's DecodingError for a body that does not fit the result.
// Holds nothing but its transport; tasks do not touch the object after they
// start, so it may go away while they run. Main thread only.
class NimbraAPI
{
public:
    NimbraAPI() = default;
    explicit NimbraAPI(APIClient client) : m_client(std::move(client)) { }

    QCoro::Task<UserOut> me(QString token, CancelToken cancel = {}) const;
    QCoro::Task<UserOut> patchProfile(QString token, std::optional<QString> email,
        std::optional<QString> catalogArtistName, CancelToken cancel = {}) const;
    QCoro::Task<TokenResponse> login(QString username, QString password, CancelToken cancel = {}) const;
    // "register" is a C++ keyword.
    QCoro::Task<TokenResponse> registerUser(
        QString username, QString email, QString password, CancelToken cancel = {}) const;
    QCoro::Task<QrInitResponse> qrInit(CancelToken cancel = {}) const;
    // qrToken is the one-time sign-in token; the user's token is never sent.
    QCoro::Task<QrStatusResponse> qrStatus(QString qrToken, CancelToken cancel = {}) const;

    QCoro::Task<TrackPage> tracks(
        int page, int size, bool brief, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<TrackOut> track(QString trackID, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<SearchResults> search(QString query, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<QList<AlbumOut>> albums(CancelToken cancel = {}) const;
    QCoro::Task<QList<TrackOut>> albumTracks(
        QString albumID, std::optional<QString> token, CancelToken cancel = {}) const;

    QCoro::Task<QList<TrackOut>> favorites(QString token, CancelToken cancel = {}) const;
    QCoro::Task<void> addFavorite(QString trackID, QString token, CancelToken cancel = {}) const;
    QCoro::Task<void> removeFavorite(QString trackID, QString token, CancelToken cancel = {}) const;
    QCoro::Task<RateResponse> rateTrack(QString trackID, QString type, QString token, CancelToken cancel = {}) const;

    QCoro::Task<QList<PlaylistOut>> playlists(QString token, CancelToken cancel = {}) const;
    QCoro::Task<PlaylistOut> createPlaylist(QString title, QString token, CancelToken cancel = {}) const;
    QCoro::Task<PlaylistDetail> playlist(QString id, QString token, CancelToken cancel = {}) const;
    QCoro::Task<void> addTrackToPlaylist(
        QString playlistID, QString trackID, QString token, CancelToken cancel = {}) const;

    QCoro::Task<ClipPage> clips(
        int page, int size, QString kind, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<ClipPage> battles(int page, int size, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<QStringList> featuredArtistNames(CancelToken cancel = {}) const;

    // An id placed into a request path, encoded as exactly one segment, so
    // that no id from the network can reach another endpoint. Throws
    // APIError::invalidURL for "." and "..", which no encoding keeps apart.
    static QString pathSegment(const QString &id);

private:
    APIClient m_client;
};

} // namespace nimbra
