#include "api/nimbraapi.h"

#include "api/answerdecoding.h"
#include "api/apierror.h"
#include "api/jsoncoding.h"
#include "api/sharedanswers.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

const QString kJson = u"application/json"_s;
const QString kGet = u"GET"_s;
const QString kPost = u"POST"_s;
const QString kPatch = u"PATCH"_s;
const QString kDelete = u"DELETE"_s;

constexpr int kCatalogPageSize = 1000;
constexpr int kCatalogLastPage = 2049;

using Query = QMap<QString, QString>;

struct FeaturedNames
{
    QStringList names;

    static FeaturedNames fromJson(const JsonReader &r) { return FeaturedNames {r.stringList("names"_L1)}; }
};

QString flag(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

} // namespace

NimbraApi NimbraApi::sharingAnswers(std::shared_ptr<SharedAnswers> answers) const
{
    return NimbraApi(m_client.sharingAnswers(std::move(answers)));
}

QString NimbraApi::pathSegment(const QString &id)
{
    // Dot segments would be resolved away by the URL or the server, whatever
    // their encoding.
    if (id == "."_L1 || id == ".."_L1)
        throw ApiError::invalidUrl();
    // Sub-delimiters, ":" and "@" may stand in a segment; everything else
    // outside the unreserved set ("/", "?", "#", "%" among it) is encoded.
    return QString::fromLatin1(QUrl::toPercentEncoding(id, "!$&'()*+,;=:@"));
}

QCoro::Task<UserOut> NimbraApi::me(QString token, CancelToken cancel) const
{
    const QByteArray data = co_await m_client.request(u"api/v1/auth/me"_s, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<UserOut> decoding = decodeAnswer<UserOut, &decodeJson<UserOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<UserOut> NimbraApi::patchProfile(
    QString token, std::optional<QString> email, std::optional<QString> catalogArtistName, CancelToken cancel) const
{
    const QByteArray body = encodeJson(UserProfilePatch {catalogArtistName, email}.toJson());
    const QByteArray data = co_await m_client.request(u"api/v1/auth/profile"_s, kPatch, {}, body, kJson, token, cancel);
    QCoro::Task<UserOut> decoding = decodeAnswer<UserOut, &decodeJson<UserOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<TokenResponse> NimbraApi::login(QString username, QString password, CancelToken cancel) const
{
    const QByteArray body = encodeJson(UserLogin {username, password}.toJson());
    const QByteArray data
        = co_await m_client.request(u"api/v1/auth/login"_s, kPost, {}, body, kJson, std::nullopt, cancel);
    QCoro::Task<TokenResponse> decoding = decodeAnswer<TokenResponse, &decodeJson<TokenResponse>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<TokenResponse> NimbraApi::registerUser(
    QString username, QString email, QString password, CancelToken cancel) const
{
    const QByteArray body = encodeJson(UserRegister {username, email, password}.toJson());
    const QByteArray data
        = co_await m_client.request(u"api/v1/auth/register"_s, kPost, {}, body, kJson, std::nullopt, cancel);
    QCoro::Task<TokenResponse> decoding = decodeAnswer<TokenResponse, &decodeJson<TokenResponse>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QrInitResponse> NimbraApi::qrInit(CancelToken cancel) const
{
    const QByteArray data
        = co_await m_client.request(u"api/v1/auth/qr/init"_s, kPost, {}, {}, kJson, std::nullopt, cancel);
    QCoro::Task<QrInitResponse> decoding = decodeAnswer<QrInitResponse, &decodeJson<QrInitResponse>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QrStatusResponse> NimbraApi::qrStatus(QString qrToken, CancelToken cancel) const
{
    const QString path = u"api/v1/auth/qr/status/"_s + pathSegment(qrToken);
    const QByteArray data = co_await m_client.request(path, kGet, {}, {}, kJson, std::nullopt, cancel);
    QCoro::Task<QrStatusResponse> decoding
        = decodeAnswer<QrStatusResponse, &decodeJson<QrStatusResponse>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<TrackPage> NimbraApi::tracks(
    int page, int size, bool brief, std::optional<QString> token, CancelToken cancel) const
{
    const Query query {
        {u"page"_s, QString::number(page)}, {u"size"_s, QString::number(size)}, {u"brief"_s, flag(brief)}};
    const QByteArray data = co_await m_client.request(u"api/v1/tracks"_s, kGet, query, {}, kJson, token, cancel);
    QCoro::Task<TrackPage> decoding = decodeAnswer<TrackPage, &decodeJson<TrackPage>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<TrackOut> NimbraApi::track(QString trackId, std::optional<QString> token, CancelToken cancel) const
{
    const QString path = u"api/v1/tracks/"_s + pathSegment(trackId);
    const QByteArray data = co_await m_client.request(path, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<TrackOut> decoding = decodeAnswer<TrackOut, &decodeJson<TrackOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<SearchResults> NimbraApi::search(QString query, std::optional<QString> token, CancelToken cancel) const
{
    const Query items {{u"q"_s, query}};
    const QByteArray data = co_await m_client.request(u"api/v1/search"_s, kGet, items, {}, kJson, token, cancel);
    QCoro::Task<SearchResults> decoding = decodeAnswer<SearchResults, &decodeJson<SearchResults>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QList<AlbumOut>> NimbraApi::albums(CancelToken cancel) const
{
    const QByteArray data = co_await m_client.request(u"api/v1/albums"_s, kGet, {}, {}, kJson, std::nullopt, cancel);
    QCoro::Task<QList<AlbumOut>> decoding = decodeAnswer<QList<AlbumOut>, &decodeJsonList<AlbumOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QList<TrackOut>> NimbraApi::albumTracks(
    QString albumId, std::optional<QString> token, CancelToken cancel) const
{
    const QString path = u"api/v1/albums/"_s + pathSegment(albumId) + u"/tracks"_s;
    const QByteArray data = co_await m_client.request(path, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<QList<TrackOut>> decoding = decodeAnswer<QList<TrackOut>, &decodeJsonList<TrackOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QList<TrackOut>> NimbraApi::favorites(QString token, CancelToken cancel) const
{
    const QByteArray data = co_await m_client.request(u"api/v1/favorites"_s, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<QList<TrackOut>> decoding = decodeAnswer<QList<TrackOut>, &decodeJsonList<TrackOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<void> NimbraApi::addFavorite(QString trackId, QString token, CancelToken cancel) const
{
    const QByteArray body = encodeJson(FavoriteAdd {trackId}.toJson());
    co_await m_client.request(u"api/v1/favorites"_s, kPost, {}, body, kJson, token, cancel);
}

QCoro::Task<void> NimbraApi::removeFavorite(QString trackId, QString token, CancelToken cancel) const
{
    const QString path = u"api/v1/favorites/"_s + pathSegment(trackId);
    co_await m_client.request(path, kDelete, {}, {}, kJson, token, cancel);
}

QCoro::Task<RateResponse> NimbraApi::rateTrack(QString trackId, QString type, QString token, CancelToken cancel) const
{
    const QByteArray body = encodeJson(RateRequest {trackId, type}.toJson());
    const QByteArray data = co_await m_client.request(u"api/v1/rate"_s, kPost, {}, body, kJson, token, cancel);
    QCoro::Task<RateResponse> decoding = decodeAnswer<RateResponse, &decodeJson<RateResponse>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QList<PlaylistOut>> NimbraApi::playlists(QString token, CancelToken cancel) const
{
    const QByteArray data = co_await m_client.request(u"api/v1/playlists"_s, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<QList<PlaylistOut>> decoding
        = decodeAnswer<QList<PlaylistOut>, &decodeJsonList<PlaylistOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<PlaylistOut> NimbraApi::createPlaylist(QString title, QString token, CancelToken cancel) const
{
    const QByteArray body = encodeJson(QJsonObject {{"title"_L1, title}, {"is_public"_L1, false}});
    const QByteArray data = co_await m_client.request(u"api/v1/playlists"_s, kPost, {}, body, kJson, token, cancel);
    QCoro::Task<PlaylistOut> decoding = decodeAnswer<PlaylistOut, &decodeJson<PlaylistOut>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<PlaylistDetail> NimbraApi::playlist(QString id, QString token, CancelToken cancel) const
{
    const QString path = u"api/v1/playlists/"_s + pathSegment(id);
    const QByteArray data = co_await m_client.request(path, kGet, {}, {}, kJson, token, cancel);
    QCoro::Task<PlaylistDetail> decoding = decodeAnswer<PlaylistDetail, &decodeJson<PlaylistDetail>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<std::optional<qint64>> NimbraApi::addTrackToPlaylist(
    QString playlistId, QString trackId, QString token, CancelToken cancel) const
{
    const QString path = u"api/v1/playlists/"_s + pathSegment(playlistId) + u"/tracks"_s;
    const QByteArray body = encodeJson(QJsonObject {{"track_id"_L1, trackId}});
    const QByteArray data = co_await m_client.request(path, kPost, {}, body, kJson, token, cancel);
    // The add itself succeeded: an answer that is not this playlist only
    // leaves its count unknown.
    try {
        const PlaylistOut playlist = decodeJson<PlaylistOut>(data);
        if (playlist.id == playlistId && playlist.trackCount >= 0)
            co_return playlist.trackCount;
    } catch (const DecodingError &) {
    }
    co_return std::nullopt;
}

QCoro::Task<ClipPage> NimbraApi::clips(
    int page, int size, QString kind, std::optional<QString> token, CancelToken cancel) const
{
    const Query query {{u"page"_s, QString::number(page)}, {u"size"_s, QString::number(size)}, {u"kind"_s, kind}};
    const QByteArray data = co_await m_client.request(u"api/v1/clips"_s, kGet, query, {}, kJson, token, cancel);
    QCoro::Task<ClipPage> decoding = decodeAnswer<ClipPage, &decodeJson<ClipPage>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<ClipPage> NimbraApi::battles(int page, int size, std::optional<QString> token, CancelToken cancel) const
{
    const Query query {{u"page"_s, QString::number(page)}, {u"size"_s, QString::number(size)}};
    const QByteArray data = co_await m_client.request(u"api/v1/battles"_s, kGet, query, {}, kJson, token, cancel);
    QCoro::Task<ClipPage> decoding = decodeAnswer<ClipPage, &decodeJson<ClipPage>>(data, cancel);
    co_return co_await decoding;
}

QCoro::Task<QStringList> NimbraApi::featuredArtistNames(CancelToken cancel) const
{
    const QByteArray data = co_await m_client.request(
        u"api/v1/catalog/featured-artist-names"_s, kGet, {}, {}, kJson, std::nullopt, cancel);
    QCoro::Task<FeaturedNames> decoding = decodeAnswer<FeaturedNames, &decodeJson<FeaturedNames>>(data, cancel);
    co_return (co_await decoding).names;
}

QCoro::Task<QList<TrackOut>> NimbraApi::fetchAllTracksBrief(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = *this;
    QList<TrackOut> result;
    for (int page = 1;; ++page) {
        const TrackPage received = co_await api.tracks(page, kCatalogPageSize, true, token, cancel);
        result.append(received.items);
        // An empty page ends it even when the total promises more, and a
        // total never reached ends it after the last page.
        if (received.items.isEmpty() || page >= kCatalogLastPage || result.size() >= received.total)
            break;
    }
    co_return result;
}

} // namespace nimbra
