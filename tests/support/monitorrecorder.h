#pragma once

#include <QtGlobal>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// What the default sink plays, as its monitor gives it to parec: for every
// millisecond of sound, when it came and whether anything was audible in it.
// parec asks for no latency of its own, so it leaves an idle sink idle (a
// short-latency reader would keep the sink awake and hide what the listener
// waits for). Times are the steady clock's (CLOCK_MONOTONIC), the same in
// every process of the machine.
class MonitorRecorder
{
public:
    static constexpr int rate = 44100;
    static constexpr int samplesPerBlock = rate / 1000;
    // About -66 dBFS: the tracks fade in from zero, so their first audible
    // millisecond is within a few of their first sample.
    static constexpr int audibleLevel = 16;

    MonitorRecorder() = default;
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder &) = delete;
    MonitorRecorder &operator=(const MonitorRecorder &) = delete;

    bool start();

    static qint64 now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    // The first audible millisecond at or after `from` that follows
    // `quietMs` silent ones: the start of a sound, not the tail of the one
    // before it.
    std::optional<qint64> onsetAfter(qint64 from, int quietMs = 3) const;
    // The last audible millisecond before `before`.
    std::optional<qint64> lastSoundBefore(qint64 before) const;
    // Waits until an onset after `from` has been recorded, calling `meanwhile`
    // (which turns the caller's event loop) between looks; nothing after 15 s.
    std::optional<qint64> waitForOnset(qint64 from, const std::function<void()> &meanwhile) const;
    // How many audible milliseconds were recorded from `from` to `to`.
    int audibleMs(qint64 from, qint64 to) const;
    // Whether the monitor has delivered sound up to `time`.
    bool reached(qint64 time) const;

private:
    struct Block
    {
        qint64 time;
        bool audible;
    };

    void read();

    int m_fd = -1;
    pid_t m_pid = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<Block> m_blocks;
};
