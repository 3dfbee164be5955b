#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <optional>

namespace devservice {

// A misbehaviour to show for matching requests.
struct Fault
{
    int id = 0;
    QString path; // exact path, or a prefix when it ends in "*"
    QString method; // empty: any method
    std::optional<int> status; // with body: answer instead of the real route
    std::optional<QByteArray> body;
    int delayMs = 0;
    // The answer waits for the next release (POST /__dev/release): a test
    // decides when a slow answer comes, rather than betting on a delay.
    bool hold = false;
    bool drop = false; // send the headers, then close the connection mid-body
    int remaining = -1; // -1: unlimited
    // Of a taken hold: the releases there had been when its request came.
    quint64 heldSince = 0;

    // A fault with neither status, body nor drop only holds or delays the
    // real answer.
    bool replacesAnswer() const { return status || body || drop; }
};

// The faults tests have injected, matched in the order they were added.
class FaultList
{
public:
    // Reads {"path", "method"?, "status"?, "body"?, "delay_ms"?, "hold"?,
    // "drop"?, "count"?}; gives an error text when the object is unusable.
    static std::optional<Fault> fromJson(const QJsonObject &object, QString *error);

    int add(Fault fault);
    // Removes every fault and releases what they hold.
    int clear();
    // The first fault for the request, with one use taken from its count.
    // A hold counts as held from here on, so a release that comes before
    // the request waits still lets it through.
    std::optional<Fault> take(const QString &method, const QString &path);
    // Blocks until a release after the hold was taken.
    void waitForRelease(const Fault &hold);
    // Lets every held answer go on, and the hold faults hold no more; gives
    // how many answers were held.
    int release();

private:
    int releaseLocked();

    QMutex m_mutex;
    QWaitCondition m_released;
    QList<Fault> m_faults;
    int m_nextId = 1;
    quint64 m_releases = 0;
    int m_held = 0;
};

} // namespace devservice
