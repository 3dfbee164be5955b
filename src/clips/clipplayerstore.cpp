#include "clips/clipplayerstore.h"

#include "api/apiconfig.h"
#include "platform/medialibrary.h"

#include <QMetaObject>

#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

ClipPlayerStore::ClipPlayerStore(QObject *parent) : ClipPlayerStore(nullptr, parent) { }

ClipPlayerStore::ClipPlayerStore(VideoBackend *backend, QObject *parent) : QObject(parent), m_backend(backend) { }

ClipPlayerStore::~ClipPlayerStore()
{
    if (!m_player)
        return;
    disconnect(m_player.get(), nullptr, this, nullptr);
    // Stopped and unloaded now, not from an event loop that may have ended:
    // the item gives its video sink back before anything is destroyed.
    m_player->load(QUrl());
    delete m_player.release();
}

QString ClipPlayerStore::failureMessage()
{
    return u"Не удалось воспроизвести видео"_s;
}

void ClipPlayerStore::setFullscreen(bool fullscreen)
{
    if (m_fullscreen == fullscreen)
        return;
    m_fullscreen = fullscreen;
    emit isFullscreenChanged();
}

void ClipPlayerStore::setVideoOutput(QObject *output)
{
    if (m_videoOutput == output)
        return;
    m_videoOutput = output;
    if (m_player)
        m_player->setVideoOutput(output);
    emit videoOutputChanged();
}

void ClipPlayerStore::play(const ClipOut &clip, const QList<ClipOut> &queue)
{
    if (!queue.isEmpty())
        m_queue = queue;
    else if (m_queue.isEmpty())
        m_queue = {clip};
    int start = -1;
    for (int i = 0; i < m_queue.size(); ++i) {
        if (m_queue.at(i).id == clip.id) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        m_queue.append(clip);
        start = int(m_queue.size()) - 1;
    }
    beginPass();
    playAtIndex(start);
}

void ClipPlayerStore::next()
{
    if (m_queue.isEmpty())
        return;
    beginPass();
    playAtIndex((m_queueIndex + 1) % int(m_queue.size()));
}

void ClipPlayerStore::previous()
{
    if (m_queue.isEmpty())
        return;
    beginPass();
    const int count = int(m_queue.size());
    // Searching backwards: a forward search would land on the clip that
    // plays whenever the one before it has no address, and previous would
    // never get past it.
    playAtIndex((m_queueIndex - 1 + count) % count, -1);
}

void ClipPlayerStore::togglePlayPause()
{
    if (!m_player)
        return;
    // After a pass in which nothing played, play means another pass.
    if (!m_failureText.isEmpty()) {
        beginPass();
        playAtIndex(m_queueIndex);
        return;
    }
    if (m_playing)
        m_player->pause();
    else
        m_player->play();
    setPlaying(!m_playing);
}

void ClipPlayerStore::seek(double seconds)
{
    if (!m_player)
        return;
    const double target = std::isnan(seconds) ? 0.0 : std::clamp(seconds, 0.0, std::max(m_duration, 1.0));
    m_player->seek(target);
    setTimes(target, m_duration);
}

void ClipPlayerStore::dismiss()
{
    setFullscreen(false);
    teardown();
    m_queue.clear();
    m_queueIndex = 0;
    m_failedSinceReady.clear();
    setFailureText({});
    if (m_current) {
        m_current.reset();
        emit currentClipChanged();
    }
    if (m_presented) {
        m_presented = false;
        emit isPresentedChanged();
    }
}

std::optional<int> ClipPlayerStore::findPlayable(int start, QUrl *url, int step) const
{
    const int count = int(m_queue.size());
    for (int attempt = 0; attempt < count; ++attempt) {
        const int candidate = ((start + step * attempt) % count + count) % count;
        if (const auto resolved = ApiConfig::resolve(m_queue.at(candidate).fileUrl)) {
            if (url)
                *url = *resolved;
            return candidate;
        }
    }
    return std::nullopt;
}

void ClipPlayerStore::playAtIndex(int start, int step)
{
    if (m_queue.isEmpty())
        return;
    QUrl url;
    const auto index = findPlayable(start, &url, step);
    // No clip has an address: whatever plays goes on playing.
    if (!index)
        return;
    m_queueIndex = *index;
    startPlayback(m_queue.at(*index), url);
}

void ClipPlayerStore::startPlayback(const ClipOut &clip, const QUrl &url)
{
    ++m_generation;
    m_itemFailed = false;
    setFailureText({});
    setTimes(0, double(std::max<qint64>(clip.durationSeconds, 0)));
    VideoPlayerHandle *player = ensurePlayer();
    player->load(url);
    player->play();
    m_current = clip;
    emit currentClipChanged();
    if (!m_presented) {
        m_presented = true;
        emit isPresentedChanged();
    }
    setPlaying(true);
}

VideoPlayerHandle *ClipPlayerStore::ensurePlayer()
{
    if (m_player)
        return m_player.get();
    if (!m_backend) {
        m_ownBackend = MediaLibrary::entry().createVideoBackend();
        m_backend = m_ownBackend.get();
    }
    m_player = m_backend->createPlayer();
    VideoPlayerHandle *player = m_player.get();
    connect(player, &VideoPlayerHandle::timeTick, this,
        [this](double seconds) { schedule([this, seconds] { applyTick(seconds); }); });
    connect(player, &VideoPlayerHandle::ready, this, [this] { schedule([this] { m_failedSinceReady.clear(); }); });
    connect(player, &VideoPlayerHandle::endOfItem, this, [this] {
        schedule([this] {
            // The end of an item continues the queue without starting a new pass.
            if (!m_queue.isEmpty())
                playAtIndex((m_queueIndex + 1) % int(m_queue.size()));
        });
    });
    connect(player, &VideoPlayerHandle::failed, this, [this] { schedule([this] { handleFailedItem(); }); });
    player->setVideoOutput(m_videoOutput);
    emit hasPlayerChanged();
    return player;
}

void ClipPlayerStore::schedule(std::function<void()> step)
{
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, step = std::move(step)] {
            // A failed item has had its say: an end, tick or second failure
            // it sends after that would move the queue on or restart it.
            if (m_player && generation == m_generation && !m_itemFailed)
                step();
        },
        Qt::QueuedConnection);
}

void ClipPlayerStore::applyTick(double seconds)
{
    const double own = sanitizedSeconds(m_player->duration());
    setTimes(sanitizedSeconds(seconds), own > 0 ? own : m_duration);
}

void ClipPlayerStore::handleFailedItem()
{
    m_itemFailed = true;
    m_failedSinceReady.insert(m_queueIndex);
    const auto following = findPlayable((m_queueIndex + 1) % int(m_queue.size()));
    // A whole pass without an item that became ready: stop on this clip
    // rather than load the failing clips round and round.
    if (!following || m_failedSinceReady.contains(*following)) {
        m_player->pause();
        setPlaying(false);
        setFailureText(failureMessage());
        return;
    }
    m_queueIndex = *following;
    QUrl url;
    findPlayable(*following, &url);
    startPlayback(m_queue.at(*following), url);
}

void ClipPlayerStore::beginPass()
{
    m_failedSinceReady.clear();
}

void ClipPlayerStore::teardown()
{
    ++m_generation;
    if (m_player) {
        disconnect(m_player.get(), nullptr, this, nullptr);
        m_player->pause();
        m_player->load(QUrl());
        m_player.reset();
        emit hasPlayerChanged();
    }
    setPlaying(false);
    setTimes(0, 0);
}

void ClipPlayerStore::setPlaying(bool playing)
{
    if (m_playing == playing)
        return;
    m_playing = playing;
    emit isPlayingChanged();
}

void ClipPlayerStore::setTimes(double elapsed, double duration)
{
    if (m_elapsed == elapsed && m_duration == duration)
        return;
    m_elapsed = elapsed;
    m_duration = duration;
    emit timeChanged();
}

void ClipPlayerStore::setFailureText(const QString &text)
{
    if (m_failureText == text)
        return;
    m_failureText = text;
    emit failureTextChanged();
}

} // namespace nimbra
