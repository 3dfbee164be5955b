#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace nimbra {

// One answer record of the public lyrics service. Its JSON is camel case
// and follows its own rules, so it has its own small reader: "instrumental"
// is required, the other fields may be missing or null, and a field of the
// wrong type fails the record.
struct LrclibRecord
{
    std::optional<double> duration;
    bool instrumental = false;
    std::optional<QString> plainLyrics;
    std::optional<QString> syncedLyrics;

    static std::optional<LrclibRecord> fromJson(const QJsonValue &value);
    // A body holding one record.
    static std::optional<LrclibRecord> decodeOne(const QByteArray &body);
    // A body holding a list of records; one bad record fails the list.
    static std::optional<QList<LrclibRecord>> decodeList(const QByteArray &body);
};

} // namespace nimbra
