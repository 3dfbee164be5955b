#include "player/nowplayingcontroller.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/transfer.h"
#include "platform/mprisservice.h"

#include <QCoroFuture>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QNetworkReply>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtConcurrent>

#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

std::optional<QUrl> coverOf(const TrackOut &track)
{
    if (!track.coverUrl)
        return std::nullopt;
    return ApiConfig::resolve(*track.coverUrl);
}

// Keeps the newest files of the folder (and always keep), removes the rest.
void pruneArtworkFolder(const QString &folder, const QString &keep)
{
    const QFileInfoList files = QDir(folder).entryInfoList({u"*.png"_s}, QDir::Files, QDir::Time);
    for (qsizetype i = NowPlayingController::keptArtworkFiles; i < files.size(); ++i) {
        if (files.at(i).absoluteFilePath() != QFileInfo(keep).absoluteFilePath())
            QFile::remove(files.at(i).absoluteFilePath());
    }
}

// Runs on a worker thread: decoding and encoding a large cover takes long
// enough to be seen in the window.
bool storeArtwork(const QByteArray &bytes, const QString &folder, const QString &path)
{
    QImage image;
    if (folder.isEmpty() || !image.loadFromData(bytes))
        return false;
    if (!QDir().mkpath(folder))
        return false;
    // Written whole or not at all: a panel may be reading the file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return false;
    pruneArtworkFolder(folder, path);
    return true;
}

struct ArtworkFetch
{
    std::optional<QUrl> file;
    bool refused = false;
};

// Fetches url with no header of the client's own (it is an image, not a
// service call) and stores it as a PNG file; the file's URL, or nothing
// when the fetch failed, the body is not an image or the task was cancelled.
// refused: the host answered 4xx with no image.
QCoro::Task<ArtworkFetch> downloadArtwork(QUrl url, CancelToken token)
{
    if (token.isCancelled())
        co_return ArtworkFetch {};
    Transfer transfer;
    transfer.url = url;
    TransferResult result;
    try {
        result = co_await send(std::move(transfer), token);
    } catch (const ApiError &) {
        co_return ArtworkFetch {};
    }
    // Whatever the status, an image is an image; only a failure below HTTP
    // leaves nothing to look at.
    if (!result.status)
        co_return ArtworkFetch {};
    const bool refused = *result.status >= 400 && *result.status <= 499;
    const QByteArray bytes = result.body;
    const QString folder = NowPlayingController::artworkFolder();
    const QString name
        = QString::fromLatin1(QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex());
    const QString path = folder + u"/"_s + name + u".png"_s;
    const bool stored = co_await QtConcurrent::run(storeArtwork, bytes, folder, path);
    if (token.isCancelled())
        co_return ArtworkFetch {};
    if (!stored)
        co_return ArtworkFetch {std::nullopt, refused};
    co_return ArtworkFetch {QUrl::fromLocalFile(path), false};
}

} // namespace

NowPlayingController::NowPlayingController(QObject *parent) : NowPlayingController(Desktop::SessionBus, parent) { }

NowPlayingController::NowPlayingController(Desktop desktop, QObject *parent) : QObject(parent)
{
    if (desktop == Desktop::SessionBus)
        m_mpris = MprisService::publish(this);
    if (!m_mpris)
        return;
    // Queued: the desktop gets its answer at once, and the command runs
    // from the event loop as long as the controller is still there.
    const auto command = [this](auto signal, std::function<void()> NowPlayingController::*callback) {
        connect(
            m_mpris, signal, this,
            [this, callback] {
                if (this->*callback)
                    (this->*callback)();
            },
            Qt::QueuedConnection);
    };
    command(&MprisService::playRequested, &NowPlayingController::onPlay);
    command(&MprisService::pauseRequested, &NowPlayingController::onPause);
    command(&MprisService::togglePlayPauseRequested, &NowPlayingController::onTogglePlayPause);
    command(&MprisService::nextRequested, &NowPlayingController::onNext);
    command(&MprisService::previousRequested, &NowPlayingController::onPrevious);
    connect(
        m_mpris, &MprisService::seekRequested, this,
        [this](double seconds) {
            if (onSeek)
                onSeek(seconds);
        },
        Qt::QueuedConnection);
}

NowPlayingController::~NowPlayingController()
{
    m_artworkTask.cancel();
}

void NowPlayingController::update(
    std::optional<TrackOut> track, double elapsed, double duration, bool isPlaying, bool canSkip)
{
    m_canSkip = canSkip;
    if (!track) {
        m_artworkTask.cancel();
        m_lastArtworkUrl.reset();
        m_info.reset();
        publish();
        return;
    }
    const std::optional<QUrl> cover = coverOf(*track);
    NowPlayingInfo info;
    info.trackId = track->id;
    info.title = track->title;
    info.artist = track->artist;
    info.duration = duration > 1.0 ? duration : 1.0;
    info.elapsed = elapsed;
    info.rate = isPlaying ? 1.0 : 0.0;
    // The next track of the same album shows its cover at once; any other
    // track starts without one rather than with a stranger's.
    if (m_info && !m_info->artworkUrl.isEmpty() && m_lastArtworkUrl == cover)
        info.artworkUrl = m_info->artworkUrl;
    m_info = info;
    publish();
    loadArtworkIfNeeded(cover);
}

void NowPlayingController::updateElapsed(double elapsed, double duration, bool isPlaying)
{
    if (!m_info)
        return;
    m_info->elapsed = elapsed;
    m_info->rate = isPlaying ? 1.0 : 0.0;
    // Not raised to 1 s here: a tick only reports a length it knows.
    if (duration > 0)
        m_info->duration = duration;
    publish();
}

QString NowPlayingController::artworkFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cache.isEmpty() ? QString() : cache + u"/artwork"_s;
}

void NowPlayingController::publish()
{
    if (m_mpris)
        m_mpris->setState(m_info, m_canSkip);
}

void NowPlayingController::loadArtworkIfNeeded(const std::optional<QUrl> &cover)
{
    if (!cover) {
        m_artworkTask.cancel();
        m_lastArtworkUrl.reset();
        return;
    }
    // Shown already, or on its way. A cover that failed is not asked for
    // again until another one has been.
    if (cover == m_lastArtworkUrl)
        return;
    m_lastArtworkUrl = cover;
    if (m_refusedArtwork.contains(*cover)) {
        m_artworkTask.cancel();
        return;
    }
    loadArtwork(*cover, m_artworkTask.renew());
}

QCoro::Task<> NowPlayingController::loadArtwork(QUrl url, CancelToken token)
{
    QPointer<NowPlayingController> self(this);
    const ArtworkFetch fetched = co_await downloadArtwork(url, token);
    // A replaced fetch never writes: its cover belongs to another track.
    if (!self || token.isCancelled())
        co_return;
    m_artworkTask.finish(token);
    if (fetched.refused)
        m_refusedArtwork.insert(url);
    if (!fetched.file || !m_info)
        co_return;
    m_info->artworkUrl = *fetched.file;
    publish();
}

} // namespace nimbra
