#include "requestlog.h"

#include <httplib.h>

#include <QJsonObject>
#include <QMutexLocker>

using namespace Qt::StringLiterals;

namespace devservice {

void RequestLog::append(const httplib::Request &req)
{
    QJsonObject headers;
    for (const auto &[name, value] : req.headers) {
        // The HTTP library adds the peer's address among the headers; no
        // client sent it.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
            continue;
        const QString key = QString::fromStdString(name).toLower();
        const QString text = QString::fromStdString(value);
        headers.insert(key, headers.contains(key) ? headers.value(key).toString() + u", "_s + text : text);
    }
    const QJsonObject entry {
        {u"method"_s, QString::fromStdString(req.method)},
        {u"target"_s, QString::fromStdString(req.target)},
        {u"headers"_s, headers},
        {u"body"_s, QString::fromUtf8(req.body.data(), qsizetype(req.body.size()))},
    };
    QMutexLocker lock(&m_mutex);
    m_entries.append(entry);
    if (m_entries.size() > kCapacity)
        m_entries.removeFirst();
}

QJsonArray RequestLog::toJson() const
{
    QMutexLocker lock(&m_mutex);
    QJsonArray list;
    for (const QJsonObject &entry : m_entries)
        list.append(entry);
    return list;
}

int RequestLog::clear()
{
    QMutexLocker lock(&m_mutex);
    const int count = int(m_entries.size());
    m_entries.clear();
    return count;
}

} // namespace devservice
