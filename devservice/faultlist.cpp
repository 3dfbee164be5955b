#include "faultlist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>

#include <utility>

using namespace Qt::StringLiterals;

namespace devservice {

std::optional<Fault> FaultList::fromJson(const QJsonObject &object, QString *error)
{
    Fault fault;
    const QJsonValue path = object.value(u"path"_s);
    if (!path.isString() || !path.toString().startsWith(QLatin1Char('/'))) {
        *error = u"\"path\" must be a text beginning with \"/\""_s;
        return std::nullopt;
    }
    fault.path = path.toString();
    fault.method = object.value(u"method"_s).toString().toUpper();
    const QJsonValue status = object.value(u"status"_s);
    if (status.isDouble()) {
        fault.status = status.toInt();
        if (*fault.status < 100 || *fault.status > 599) {
            *error = u"\"status\" must be an HTTP status"_s;
            return std::nullopt;
        }
    }
    const QJsonValue body = object.value(u"body"_s);
    if (body.isString())
        fault.body = body.toString().toUtf8();
    else if (body.isObject())
        fault.body = QJsonDocument(body.toObject()).toJson(QJsonDocument::Compact);
    else if (body.isArray())
        fault.body = QJsonDocument(body.toArray()).toJson(QJsonDocument::Compact);
    fault.delayMs = qMax(0, object.value(u"delay_ms"_s).toInt());
    fault.hold = object.value(u"hold"_s).toBool();
    fault.drop = object.value(u"drop"_s).toBool();
    const QJsonValue count = object.value(u"count"_s);
    if (count.isDouble()) {
        fault.remaining = count.toInt();
        if (fault.remaining < 1) {
            *error = u"\"count\" must be at least 1"_s;
            return std::nullopt;
        }
    }
    return fault;
}

int FaultList::add(Fault fault)
{
    QMutexLocker lock(&m_mutex);
    fault.id = m_nextId++;
    m_faults.append(fault);
    return fault.id;
}

int FaultList::clear()
{
    QMutexLocker lock(&m_mutex);
    const int count = int(m_faults.size());
    m_faults.clear();
    releaseLocked();
    return count;
}

int FaultList::release()
{
    QMutexLocker lock(&m_mutex);
    return releaseLocked();
}

int FaultList::releaseLocked()
{
    ++m_releases;
    for (Fault &fault : m_faults)
        fault.hold = false;
    m_released.wakeAll();
    return std::exchange(m_held, 0);
}

void FaultList::waitForRelease(const Fault &hold)
{
    QMutexLocker lock(&m_mutex);
    while (m_releases == hold.heldSince)
        m_released.wait(&m_mutex);
}

std::optional<Fault> FaultList::take(const QString &method, const QString &path)
{
    QMutexLocker lock(&m_mutex);
    for (int i = 0; i < m_faults.size(); ++i) {
        Fault &fault = m_faults[i];
        const bool pathMatches
            = fault.path.endsWith(QLatin1Char('*')) ? path.startsWith(fault.path.chopped(1)) : path == fault.path;
        if (!pathMatches || (!fault.method.isEmpty() && fault.method != method))
            continue;
        Fault taken = fault;
        if (taken.hold) {
            taken.heldSince = m_releases;
            ++m_held;
        }
        if (fault.remaining > 0 && --fault.remaining == 0)
            m_faults.removeAt(i);
        return taken;
    }
    return std::nullopt;
}

} // namespace devservice
