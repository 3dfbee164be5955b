#pragma once

#include <QDateTime>
#include <QObject>

namespace nimbra {

// The sleep timer: off, a countdown to a wall-clock time, or a stop at the
// end of the current track.
class SleepTimer
{
    Q_GADGET
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(QDateTime endAt READ endAt CONSTANT)
public:
    enum class Kind { Running, Off, EndOfTrack };
    Q_ENUM(Kind)

    SleepTimer() = default;

    static SleepTimer off() { return SleepTimer(); }
    static SleepTimer until(const QDateTime &endAt) { return SleepTimer(Kind::Running, endAt); }
    static SleepTimer endOfTrack() { return SleepTimer(Kind::EndOfTrack, QDateTime()); }

    Kind kind() const { return m_kind; }
    // The end of a running countdown; invalid in the other cases.
    QDateTime endAt() const { return m_endAt; }

    bool isOff() const { return m_kind == Kind::Off; }
    bool isRunning() const { return m_kind == Kind::Running; }
    bool isEndOfTrack() const { return m_kind == Kind::EndOfTrack; }

    bool operator==(const SleepTimer &other) const = default;

private:
    SleepTimer(Kind kind, const QDateTime &endAt) : m_kind(kind), m_endAt(endAt) { }

    Kind m_kind = Kind::Off;
    QDateTime m_endAt;
};

} // namespace nimbra
