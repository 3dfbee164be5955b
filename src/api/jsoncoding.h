#pragma once

#include "api/error.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace nimbra {

// The decoder's own error: a body that does not fit its record. It names
// the failing field by its key path ("items[3].is_favorite").
class DecodingError : public Error
{
public:
    enum class Kind { KeyNotFound, ValueNotFound, TypeMismatch, DataCorrupted };

    DecodingError(Kind kind, QString path, QString detail = {});

    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    // For DataCorrupted: the reason ("Invalid date: ..."); empty otherwise.
    QString detail() const { return m_detail; }
    QString description() const override;

private:
    Kind m_kind;
    QString m_path;
    QString m_detail;
};

// Reads the service's date texts: ISO-8601 with fraction and zone, else
// date and time without zone (read as UTC). Throws DataCorrupted with
// "Invalid date: <text>" for anything else.
QDateTime parseServiceDate(const QString &text, const QString &path = {});
// The form dates are written in (UTC, milliseconds, "Z").
QString formatServiceDate(const QDateTime &date);

// Strict reader over one JSON object. Required reads fail on a missing key,
// a null or a value of another type; optional reads accept missing and null
// but fail on a present value of another type.
class JsonReader
{
public:
    JsonReader(QJsonObject object, QString path);

    static JsonReader fromValue(const QJsonValue &value, const QString &path);

    QString string(QLatin1StringView key) const;
    std::optional<QString> optString(QLatin1StringView key) const;
    // A name or title the screens show: cut to maxShownText characters
    // (with "…"), so that an absurd text from the service never reaches
    // layout whole.
    QString shownString(QLatin1StringView key) const;
    std::optional<QString> optShownString(QLatin1StringView key) const;
    static constexpr qsizetype maxShownText = 1000;
    qint64 integer(QLatin1StringView key) const;
    std::optional<qint64> optInteger(QLatin1StringView key) const;
    bool boolean(QLatin1StringView key) const;
    QDateTime date(QLatin1StringView key) const;
    std::optional<QDateTime> optDate(QLatin1StringView key) const;
    QStringList stringList(QLatin1StringView key) const;

    template<typename T> QList<T> list(QLatin1StringView key) const
    {
        return readList<T>(required(key, QJsonValue::Array).toArray(), childPath(key));
    }

    template<typename T> std::optional<QList<T>> optList(QLatin1StringView key) const
    {
        const QJsonValue v = optional(key, QJsonValue::Array);
        if (v.isUndefined())
            return std::nullopt;
        return readList<T>(v.toArray(), childPath(key));
    }

    template<typename T> static QList<T> readList(const QJsonArray &array, const QString &path)
    {
        QList<T> out;
        out.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString itemPath = path + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
            out.append(T::fromJson(fromValue(array.at(i), itemPath)));
        }
        return out;
    }

    QString childPath(QLatin1StringView key) const;

private:
    QJsonValue required(QLatin1StringView key, QJsonValue::Type type) const;
    // Undefined when the key is missing or null.
    QJsonValue optional(QLatin1StringView key, QJsonValue::Type type) const;
    qint64 toInteger(const QJsonValue &v, QLatin1StringView key) const;

    QJsonObject m_object;
    QString m_path;
};

// A text from the service as a screen shows it: one longer than `limit`
// characters is cut to `limit`, ending in "…", so that an absurd text
// never reaches layout whole. A grapheme cluster (a pair of surrogates,
// an emoji sequence, a flag) is never split.
QString cutForDisplay(QString text, qsizetype limit = JsonReader::maxShownText);

// Writes optional fields only when present: absent means no key at all.
template<typename T> void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<T> &value)
{
    if (value)
        object.insert(key, *value);
}
void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<QDateTime> &value);

QByteArray encodeJson(const QJsonObject &object);

// Parses a whole body into a JSON document; a body that is no JSON at all
// (an empty one included) fails as DataCorrupted at the top level.
QJsonValue parseJsonBody(const QByteArray &body);

template<typename T> T decodeJson(const QByteArray &body)
{
    return T::fromJson(JsonReader::fromValue(parseJsonBody(body), QString()));
}

template<typename T> QList<T> decodeJsonList(const QByteArray &body)
{
    const QJsonValue v = parseJsonBody(body);
    if (!v.isArray())
        throw DecodingError(DecodingError::Kind::TypeMismatch, QString(), QStringLiteral("ожидался список"));
    return JsonReader::readList<T>(v.toArray(), QString());
}

} // namespace nimbra
