#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>

namespace httplib {
struct Request;
}

namespace devservice {

// Every request the service received, for tests to inspect.
class RequestLog
{
public:
    // Old entries go once this many are kept, so that a demo left running
    // for hours does not grow without end.
    static constexpr int kCapacity = 10000;

    void append(const httplib::Request &req);
    // [{"method", "target", "headers": {lower-case name: value}, "body"}], oldest first.
    QJsonArray toJson() const;
    int clear();

private:
    mutable QMutex m_mutex;
    QList<QJsonObject> m_entries;
};

} // namespace devservice
