#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>

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
    bool drop = false; // send the headers, then close the connection mid-body
    int remaining = -1; // -1: unlimited

    // A fault with neither status, body nor drop only delays the real answer.
    bool replacesAnswer() const { return status || body || drop; }
};

// The faults tests have injected, matched in the order they were added.
class FaultList
{
public:
    // Reads {"path", "method"?, "status"?, "body"?, "delay_ms"?, "drop"?,
    // "count"?}; gives an error text when the object is unusable.
    static std::optional<Fault> fromJson(const QJsonObject &object, QString *error);

    int add(Fault fault);
    int clear();
    // The first fault for the request, with one use taken from its count.
    std::optional<Fault> take(const QString &method, const QString &path);

private:
    QMutex m_mutex;
    QList<Fault> m_faults;
    int m_nextId = 1;
};

} // namespace devservice
