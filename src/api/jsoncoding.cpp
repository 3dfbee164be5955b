#include "api/jsoncoding.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

namespace nimbra {

DecodingError::DecodingError(Kind kind, QString path, QString detail)
    : m_kind(kind), m_path(std::move(path)), m_detail(std::move(detail))
{
}

QString DecodingError::description() const
{
    const QString where = m_path.isEmpty() ? QStringLiteral("ответ целиком") : QStringLiteral("«%1»").arg(m_path);
    switch (m_kind) {
    case Kind::KeyNotFound:
        return QStringLiteral("Не удалось прочитать ответ сервера: нет поля %1").arg(where);
    case Kind::ValueNotFound:
        return QStringLiteral("Не удалось прочитать ответ сервера: пустое значение поля %1").arg(where);
    case Kind::TypeMismatch:
        return QStringLiteral("Не удалось прочитать ответ сервера: неверный тип поля %1").arg(where);
    case Kind::DataCorrupted:
        break;
    }
    // The detail may quote the service's text ("Invalid date: ..."), which
    // can be of any length; a message stays short enough to lay out at once.
    constexpr qsizetype longestDetail = 200;
    if (m_detail.size() > longestDetail)
        return m_detail.left(longestDetail - 1) + QChar(0x2026);
    if (!m_detail.isEmpty())
        return m_detail;
    return QStringLiteral("Не удалось прочитать ответ сервера: повреждённые данные (%1)").arg(where);
}

namespace {

// Both shapes are anchored at the very ends of the text: "$" alone would
// still let a trailing line break through.
const QRegularExpression &zonedPattern()
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(QStringLiteral(
        R"(([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2})(?:\.([0-9]+))?(Z|[+-][0-9]{2}:[0-9]{2}))")));
    return re;
}

const QRegularExpression &localPattern()
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(
        QStringLiteral(R"(([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9]{2}):([0-9]{2}):([0-9]{2}))")));
    return re;
}

std::optional<QDateTime> makeDateTime(const QRegularExpressionMatch &m, int msec, int offsetSeconds)
{
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), msec);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    QDateTime dt(date, time, Qt::OffsetFromUTC, offsetSeconds);
    return dt.toUTC();
}

} // namespace

QDateTime parseServiceDate(const QString &text, const QString &path)
{
    if (const auto m = zonedPattern().match(text); m.hasMatch()) {
        int msec = 0;
        const QString fraction = m.captured(7);
        if (!fraction.isEmpty())
            msec = fraction.left(3).leftJustified(3, QLatin1Char('0')).toInt();
        int offset = 0;
        const QString zone = m.captured(8);
        if (zone != QLatin1String("Z")) {
            const int sign = zone.startsWith(QLatin1Char('-')) ? -1 : 1;
            const int hours = zone.mid(1, 2).toInt();
            const int minutes = zone.mid(4, 2).toInt();
            if (hours <= 23 && minutes <= 59)
                offset = sign * (hours * 3600 + minutes * 60);
            else
                offset = -1000000; // marks an impossible zone
        }
        if (offset != -1000000) {
            if (auto dt = makeDateTime(m, msec, offset))
                return *dt;
        }
    } else if (const auto m2 = localPattern().match(text); m2.hasMatch()) {
        if (auto dt = makeDateTime(m2, 0, 0))
            return *dt;
    }
    throw DecodingError(DecodingError::Kind::DataCorrupted, path, QStringLiteral("Invalid date: ") + text);
}

QString formatServiceDate(const QDateTime &date)
{
    return date.toUTC().toString(Qt::ISODateWithMs);
}

JsonReader::JsonReader(QJsonObject object, QString path) : m_object(std::move(object)), m_path(std::move(path)) { }

JsonReader JsonReader::fromValue(const QJsonValue &value, const QString &path)
{
    if (value.isNull() || value.isUndefined())
        throw DecodingError(DecodingError::Kind::ValueNotFound, path);
    if (!value.isObject())
        throw DecodingError(DecodingError::Kind::TypeMismatch, path);
    return JsonReader(value.toObject(), path);
}

QString JsonReader::childPath(QLatin1StringView key) const
{
    return m_path.isEmpty() ? QString(key) : m_path + QLatin1Char('.') + key;
}

QJsonValue JsonReader::required(QLatin1StringView key, QJsonValue::Type type) const
{
    const auto it = m_object.constFind(key);
    if (it == m_object.constEnd())
        throw DecodingError(DecodingError::Kind::KeyNotFound, childPath(key));
    const QJsonValue v = it.value();
    if (v.isNull())
        throw DecodingError(DecodingError::Kind::ValueNotFound, childPath(key));
    if (v.type() != type)
        throw DecodingError(DecodingError::Kind::TypeMismatch, childPath(key));
    return v;
}

QJsonValue JsonReader::optional(QLatin1StringView key, QJsonValue::Type type) const
{
    const auto it = m_object.constFind(key);
    if (it == m_object.constEnd() || it.value().isNull())
        return QJsonValue(QJsonValue::Undefined);
    if (it.value().type() != type)
        throw DecodingError(DecodingError::Kind::TypeMismatch, childPath(key));
    return it.value();
}

qint64 JsonReader::toInteger(const QJsonValue &v, QLatin1StringView key) const
{
    // JSON has one number type; an integer field takes only whole numbers
    // that a 64-bit integer can hold. QJsonValue keeps such numbers exact,
    // so they are read without a detour through double (which would round
    // anything above 2^53). Anything else yields the fallback, and no
    // number can equal both fallbacks.
    const qint64 a = v.toInteger(0);
    const qint64 b = v.toInteger(1);
    if (a != b)
        throw DecodingError(DecodingError::Kind::TypeMismatch, childPath(key));
    return a;
}

QString JsonReader::string(QLatin1StringView key) const
{
    return required(key, QJsonValue::String).toString();
}

QString cutForDisplay(QString text, qsizetype limit)
{
    if (text.size() > limit) {
        // A cluster's bounds depend on the letters around them alone.
        QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, QStringView(text).first(std::min(text.size(), limit + 32)));
        clusters.setPosition(limit - 1);
        const qsizetype end = clusters.isAtBoundary() ? limit - 1 : clusters.toPreviousBoundary();
        text = text.left(std::max<qsizetype>(end, 0)) + QChar(0x2026);
    }
    return text;
}

QString JsonReader::shownString(QLatin1StringView key) const
{
    return cutForDisplay(string(key));
}

std::optional<QString> JsonReader::optShownString(QLatin1StringView key) const
{
    std::optional<QString> text = optString(key);
    if (text)
        text = cutForDisplay(std::move(*text));
    return text;
}

std::optional<QString> JsonReader::optString(QLatin1StringView key) const
{
    const QJsonValue v = optional(key, QJsonValue::String);
    if (v.isUndefined())
        return std::nullopt;
    return v.toString();
}

qint64 JsonReader::integer(QLatin1StringView key) const
{
    return toInteger(required(key, QJsonValue::Double), key);
}

std::optional<qint64> JsonReader::optInteger(QLatin1StringView key) const
{
    const QJsonValue v = optional(key, QJsonValue::Double);
    if (v.isUndefined())
        return std::nullopt;
    return toInteger(v, key);
}

bool JsonReader::boolean(QLatin1StringView key) const
{
    return required(key, QJsonValue::Bool).toBool();
}

QDateTime JsonReader::date(QLatin1StringView key) const
{
    return parseServiceDate(required(key, QJsonValue::String).toString(), childPath(key));
}

std::optional<QDateTime> JsonReader::optDate(QLatin1StringView key) const
{
    const QJsonValue v = optional(key, QJsonValue::String);
    if (v.isUndefined())
        return std::nullopt;
    return parseServiceDate(v.toString(), childPath(key));
}

QStringList JsonReader::stringList(QLatin1StringView key) const
{
    const QJsonArray array = required(key, QJsonValue::Array).toArray();
    QStringList out;
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue v = array.at(i);
        const QString itemPath = childPath(key) + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
        if (v.isNull())
            throw DecodingError(DecodingError::Kind::ValueNotFound, itemPath);
        if (!v.isString())
            throw DecodingError(DecodingError::Kind::TypeMismatch, itemPath);
        out.append(v.toString());
    }
    return out;
}

void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<QDateTime> &value)
{
    if (value)
        object.insert(key, formatServiceDate(*value));
}

QByteArray encodeJson(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonValue parseJsonBody(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || doc.isNull())
        throw DecodingError(DecodingError::Kind::DataCorrupted, QString(),
            QStringLiteral("Не удалось прочитать ответ сервера: это не JSON"));
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

} // namespace nimbra
