#include "monitorrecorder.h"

#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

MonitorRecorder::~MonitorRecorder()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0)
        close(m_fd);
}

bool MonitorRecorder::start()
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    const std::string rateArgument = "--rate=" + std::to_string(rate);
    const char *argv[] = {"parec", "--device=@DEFAULT_MONITOR@", "--raw", "--format=s16le", "--channels=1",
        rateArgument.c_str(), nullptr};
    const int spawned = posix_spawnp(&m_pid, "parec", &actions, nullptr, const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        m_pid = -1;
        close(pipeFds[0]);
        return false;
    }
    m_fd = pipeFds[0];
    m_reader = std::thread([this] { read(); });
    // Until the monitor delivers, nothing can be timed.
    const qint64 begun = now();
    while (!reached(begun)) {
        if (now() - begun > 5'000'000'000LL)
            return false;
        QThread::msleep(10);
    }
    return true;
}

// A read's samples came as the sink rendered them: the last one now, the
// others a sample's length earlier each.
void MonitorRecorder::read()
{
    std::vector<char> buffer(1 << 16);
    std::vector<qint16> pending;
    size_t carried = 0; // an odd byte left from the read before
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer.data() + carried, buffer.size() - carried);
        if (got <= 0)
            return;
        const qint64 arrived = now();
        const size_t bytes = carried + size_t(got);
        const auto *whole = reinterpret_cast<const qint16 *>(buffer.data());
        pending.insert(pending.end(), whole, whole + bytes / 2);
        carried = bytes % 2;
        if (carried)
            buffer[0] = buffer[bytes - 1];
        // Whole blocks only; the rest waits for the next read.
        const size_t blocks = pending.size() / samplesPerBlock;
        std::vector<Block> made;
        made.reserve(blocks);
        for (size_t b = 0; b < blocks; ++b) {
            const auto begin = pending.cbegin() + qsizetype(b * samplesPerBlock);
            const bool audible = std::any_of(
                begin, begin + samplesPerBlock, [](qint16 s) { return std::abs(int(s)) > audibleLevel; });
            const qint64 samplesAfter = qint64(pending.size() - (b + 1) * samplesPerBlock);
            made.push_back({arrived - samplesAfter * 1'000'000'000LL / rate, audible});
        }
        pending.erase(pending.begin(), pending.begin() + qsizetype(blocks * samplesPerBlock));
        std::lock_guard lock(m_mutex);
        m_blocks.insert(m_blocks.end(), made.begin(), made.end());
    }
}

bool MonitorRecorder::reached(qint64 time) const
{
    std::lock_guard lock(m_mutex);
    return !m_blocks.empty() && m_blocks.back().time >= time;
}

std::optional<qint64> MonitorRecorder::onsetAfter(qint64 from, int quietMs) const
{
    std::lock_guard lock(m_mutex);
    const auto first = std::lower_bound(
        m_blocks.cbegin(), m_blocks.cend(), from, [](const Block &b, qint64 t) { return b.time < t; });
    for (auto it = first; it != m_blocks.cend(); ++it) {
        if (!it->audible || it - m_blocks.cbegin() < quietMs)
            continue;
        if (std::none_of(it - quietMs, it, [](const Block &b) { return b.audible; }))
            return it->time;
    }
    return std::nullopt;
}

int MonitorRecorder::audibleMs(qint64 from, qint64 to) const
{
    std::lock_guard lock(m_mutex);
    const auto byTime = [](const Block &b, qint64 t) { return b.time < t; };
    const auto first = std::lower_bound(m_blocks.cbegin(), m_blocks.cend(), from, byTime);
    const auto last = std::lower_bound(first, m_blocks.cend(), to, byTime);
    return int(std::count_if(first, last, [](const Block &b) { return b.audible; }));
}

std::optional<qint64> MonitorRecorder::lastSoundBefore(qint64 before) const
{
    std::lock_guard lock(m_mutex);
    auto it = std::lower_bound(
        m_blocks.cbegin(), m_blocks.cend(), before, [](const Block &b, qint64 t) { return b.time < t; });
    while (it != m_blocks.cbegin()) {
        --it;
        if (it->audible)
            return it->time;
    }
    return std::nullopt;
}

std::optional<qint64> MonitorRecorder::waitForOnset(qint64 from, const std::function<void()> &meanwhile) const
{
    const qint64 deadline = now() + 15'000'000'000LL;
    while (now() < deadline) {
        if (const auto onset = onsetAfter(from))
            return onset;
        meanwhile();
    }
    return std::nullopt;
}
