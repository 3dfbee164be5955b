#include "player/lrclibrecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

std::optional<QJsonValue> parse(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    if (document.isArray())
        return QJsonValue(document.array());
    if (document.isObject())
        return QJsonValue(document.object());
    return std::nullopt;
}

// Optional field: missing and null are absent; another type is a failure.
template<typename T>
bool readOptional(const QJsonObject &object, QLatin1StringView key, QJsonValue::Type type, std::optional<T> &out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    if (value.type() != type)
        return false;
    out = value.toVariant().value<T>();
    return true;
}

} // namespace

std::optional<LrclibRecord> LrclibRecord::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue instrumental = object.value("instrumental"_L1);
    if (!instrumental.isBool())
        return std::nullopt;
    LrclibRecord record;
    record.instrumental = instrumental.toBool();
    if (!readOptional(object, "duration"_L1, QJsonValue::Double, record.duration)
        || !readOptional(object, "plainLyrics"_L1, QJsonValue::String, record.plainLyrics)
        || !readOptional(object, "syncedLyrics"_L1, QJsonValue::String, record.syncedLyrics))
        return std::nullopt;
    return record;
}

std::optional<LrclibRecord> LrclibRecord::decodeOne(const QByteArray &body)
{
    const auto value = parse(body);
    if (!value)
        return std::nullopt;
    return fromJson(*value);
}

std::optional<QList<LrclibRecord>> LrclibRecord::decodeList(const QByteArray &body)
{
    const auto value = parse(body);
    if (!value || !value->isArray())
        return std::nullopt;
    const QJsonArray array = value->toArray();
    QList<LrclibRecord> records;
    records.reserve(array.size());
    for (const QJsonValue &item : array) {
        auto record = fromJson(item);
        if (!record)
            return std::nullopt;
        records.append(*record);
    }
    return records;
}

} // namespace nimbra
