#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace nimbra::test {

// A PulseAudio server with one null sink for this test process alone:
// what the test hears at the sink's monitor is its own sound, never that
// of another test that plays on the shared sink meanwhile. Started before
// any audio of the process; the process's players, pactl and parec all
// reach it through PULSE_SERVER. It ends with this object, or with the
// test process.
class PrivateSoundServer
{
public:
    PrivateSoundServer();
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer &) = delete;
    PrivateSoundServer &operator=(const PrivateSoundServer &) = delete;

    // The server answers, and the process is pointed at it.
    bool isRunning() const { return m_running; }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    bool m_running = false;
};

} // namespace nimbra::test
