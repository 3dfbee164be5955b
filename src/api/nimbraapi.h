#pragma once

#include "api/accountrecords.h"
#include "api/apiclient.h"
#include "api/catalogrecords.h"

#include <QStringList>

#include <memory>

namespace nimbra {

class SharedAnswers;

// The typed client of the service: one operation per endpoint, each making
// exactly one request. Failures arrive as ApiError (from the transport) or
// as the decoder's DecodingError for a body that does not fit the result.
// Holds nothing but its transport; tasks do not touch the object after
// they start, so it may go away while they run. Main thread only.
class NimbraApi
{
public:
    NimbraApi() = default;
    explicit NimbraApi(ApiClient client) : m_client(std::move(client)) { }

    // A copy for the operations of one load: a read that several of them
    // make (the album list, the catalogue's one-track probe) is sent once
    // and its answer shared, for as long as the copy or its tasks live.
    NimbraApi sharingAnswers(std::shared_ptr<SharedAnswers> answers) const;

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
    QCoro::Task<TrackOut> track(QString trackId, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<SearchResults> search(QString query, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<QList<AlbumOut>> albums(CancelToken cancel = {}) const;
    QCoro::Task<QList<TrackOut>> albumTracks(
        QString albumId, std::optional<QString> token, CancelToken cancel = {}) const;

    QCoro::Task<QList<TrackOut>> favorites(QString token, CancelToken cancel = {}) const;
    QCoro::Task<void> addFavorite(QString trackId, QString token, CancelToken cancel = {}) const;
    QCoro::Task<void> removeFavorite(QString trackId, QString token, CancelToken cancel = {}) const;
    QCoro::Task<RateResponse> rateTrack(QString trackId, QString type, QString token, CancelToken cancel = {}) const;

    QCoro::Task<QList<PlaylistOut>> playlists(QString token, CancelToken cancel = {}) const;
    QCoro::Task<PlaylistOut> createPlaylist(QString title, QString token, CancelToken cancel = {}) const;
    QCoro::Task<PlaylistDetail> playlist(QString id, QString token, CancelToken cancel = {}) const;
    // Succeeds on any 2xx, whatever the body; returns the playlist's track
    // count when the answer is the playlist as the service now holds it.
    QCoro::Task<std::optional<qint64>> addTrackToPlaylist(
        QString playlistId, QString trackId, QString token, CancelToken cancel = {}) const;

    QCoro::Task<ClipPage> clips(
        int page, int size, QString kind, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<ClipPage> battles(int page, int size, std::optional<QString> token, CancelToken cancel = {}) const;
    QCoro::Task<QStringList> featuredArtistNames(CancelToken cancel = {}) const;

    // Composed of several requests; fails with the first failing request's
    // error and then returns nothing gathered so far.
    // The whole catalogue in brief records, page by page of 1000, in page
    // order; at most 2049 pages.
    QCoro::Task<QList<TrackOut>> fetchAllTracksBrief(std::optional<QString> token, CancelToken cancel = {}) const;

    // An id placed into a request path, encoded as exactly one segment, so
    // that no id from the network can reach another endpoint. Throws
    // ApiError::invalidUrl for "." and "..", which no encoding keeps apart.
    static QString pathSegment(const QString &id);

private:
    ApiClient m_client;
};

} // namespace nimbra
