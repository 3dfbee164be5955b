#include "recordcodingcases.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <variant>

using namespace Qt::StringLiterals;

namespace nimbra::test {

namespace {

using Step = std::variant<QString, qsizetype>;

// "items[1].is_favorite" -> "items", 1, "is_favorite".
QList<Step> parsePath(const QString &path)
{
    static const QRegularExpression step(u"\\[(\\d+)\\]|([^.\\[]+)"_s);
    QList<Step> steps;
    for (const QRegularExpressionMatch &m : step.globalMatch(path))
        steps.append(m.hasCaptured(1) ? Step(qsizetype(m.captured(1).toLongLong())) : Step(m.captured(2)));
    return steps;
}

QJsonValue edit(const QJsonValue &node, const QList<Step> &steps, qsizetype at, const std::optional<QJsonValue> &value)
{
    const bool last = at == steps.size() - 1;
    if (const auto *key = std::get_if<QString>(&steps.at(at))) {
        QJsonObject object = node.toObject();
        if (last && !value)
            object.remove(*key);
        else
            object.insert(*key, last ? *value : edit(object.value(*key), steps, at + 1, value));
        return object;
    }
    const qsizetype index = std::get<qsizetype>(steps.at(at));
    QJsonArray array = node.toArray();
    if (last && !value)
        array.removeAt(index);
    else
        array.replace(index, last ? *value : edit(array.at(index), steps, at + 1, value));
    return array;
}

QJsonValue withUnknownKeys(const QJsonValue &value)
{
    if (value.isObject()) {
        QJsonObject object;
        const QJsonObject source = value.toObject();
        for (auto it = source.begin(); it != source.end(); ++it)
            object.insert(it.key(), withUnknownKeys(it.value()));
        object.insert("zz_unknown"_L1, QJsonObject {{"nested"_L1, QJsonArray {1, u"two"_s, QJsonValue()}}});
        object.insert("IdTitle"_L1, u"not a declared key"_s);
        return object;
    }
    if (value.isArray()) {
        QJsonArray array;
        for (const QJsonValue &item : value.toArray())
            array.append(withUnknownKeys(item));
        return array;
    }
    return value;
}

QJsonValue jsonAt(const QJsonValue &root, const QString &path)
{
    QJsonValue node = root;
    for (const Step &step : parsePath(path)) {
        if (const auto *key = std::get_if<QString>(&step))
            node = node.toObject().value(*key);
        else
            node = node.toArray().at(std::get<qsizetype>(step));
    }
    return node;
}

QJsonValue editedJson(const QJsonValue &root, const QString &path, const std::optional<QJsonValue> &value)
{
    return edit(root, parsePath(path), 0, value);
}

QJsonValue wrongTypeFor(const QJsonValue &value)
{
    if (value.isString() || value.isBool())
        return value.isString() ? QJsonValue(42) : QJsonValue(1);
    if (value.isArray() || value.isObject())
        return value.isArray() ? QJsonValue(QJsonObject()) : QJsonValue(QJsonArray());
    return value.isDouble() ? u"42"_s : u"text"_s;
}

const RecordCase &caseNamed(const QList<RecordCase> &cases, const QString &name)
{
    for (const RecordCase &c : cases) {
        if (c.name == name)
            return c;
    }
    qFatal("no record case %s", qPrintable(name));
}

enum class Change { Remove, Null, WrongType };

QJsonValue changed(const QJsonObject &sample, const QString &path, Change change)
{
    switch (change) {
    case Change::Remove:
        return editedJson(sample, path, std::nullopt);
    case Change::Null:
        return editedJson(sample, path, QJsonValue(QJsonValue::Null));
    case Change::WrongType:
        break;
    }
    return editedJson(sample, path, wrongTypeFor(jsonAt(sample, path)));
}

// Every field path of the cases, missing, null and of another type; an
// element of a list can be null or of another type, but not missing.
void fieldRows(const QList<RecordCase> &cases, bool required)
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("change");
    for (const RecordCase &c : cases) {
        for (const QString &path : required ? c.required : c.optional) {
            const QByteArray name = (c.name + u' ' + path).toUtf8();
            if (!path.endsWith(u']'))
                QTest::addRow("%s missing", name.constData()) << c.name << path << int(Change::Remove);
            QTest::addRow("%s null", name.constData()) << c.name << path << int(Change::Null);
            QTest::addRow("%s wrong type", name.constData()) << c.name << path << int(Change::WrongType);
        }
    }
}

} // namespace

QByteArray jsonBytes(const QJsonValue &value)
{
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

std::optional<DecodingError> decodingFailure(const std::function<void()> &call)
{
    try {
        call();
    } catch (const DecodingError &error) {
        return error;
    } catch (const std::exception &error) {
        qWarning("unexpected exception: %s", error.what());
        return DecodingError(DecodingError::Kind::DataCorrupted, u"<not a decoding error>"_s);
    }
    return std::nullopt;
}

void requiredFieldRows(const QList<RecordCase> &cases)
{
    fieldRows(cases, true);
}

void checkRequiredField(const QList<RecordCase> &cases)
{
    QFETCH(QString, record);
    QFETCH(QString, path);
    QFETCH(int, change);
    const RecordCase &c = caseNamed(cases, record);
    QVERIFY2(!jsonAt(c.sample, path).isUndefined(), "the sample lacks this field");
    const QByteArray body = jsonBytes(changed(c.sample, path, Change(change)));

    const auto failure = decodingFailure([&] { c.decodeAndEncode(body); });
    QVERIFY2(failure, body.constData());
    const DecodingError::Kind expected = Change(change) == Change::Remove ? DecodingError::Kind::KeyNotFound
        : Change(change) == Change::Null                                  ? DecodingError::Kind::ValueNotFound
                                                                          : DecodingError::Kind::TypeMismatch;
    QCOMPARE(failure->path(), path);
    QCOMPARE(int(failure->kind()), int(expected));
    QVERIFY(!failure->description().isEmpty());
}

void optionalFieldRows(const QList<RecordCase> &cases)
{
    fieldRows(cases, false);
}

void checkOptionalField(const QList<RecordCase> &cases)
{
    QFETCH(QString, record);
    QFETCH(QString, path);
    QFETCH(int, change);
    const RecordCase &c = caseNamed(cases, record);
    QVERIFY2(!jsonAt(c.sample, path).isUndefined(), "the sample lacks this field");
    const QByteArray body = jsonBytes(changed(c.sample, path, Change(change)));

    QJsonObject written;
    const auto failure = decodingFailure([&] { written = c.decodeAndEncode(body); });
    if (Change(change) == Change::WrongType) {
        QVERIFY2(failure, body.constData());
        QCOMPARE(failure->path(), path);
        QCOMPARE(int(failure->kind()), int(DecodingError::Kind::TypeMismatch));
        return;
    }
    QVERIFY2(!failure, qPrintable(failure ? failure->description() : QString()));
    // Absent, and so left out when written back; every other field unchanged.
    QCOMPARE(QJsonValue(written), editedJson(c.sample, path, std::nullopt));
}

void recordRows(const QList<RecordCase> &cases)
{
    QTest::addColumn<QString>("record");
    for (const RecordCase &c : cases)
        QTest::newRow(qPrintable(c.name)) << c.name;
}

void checkRoundTrip(const QList<RecordCase> &cases)
{
    QFETCH(QString, record);
    const RecordCase &c = caseNamed(cases, record);

    QJsonObject written;
    auto failure = decodingFailure([&] { written = c.decodeAndEncode(jsonBytes(c.sample)); });
    QVERIFY2(!failure, qPrintable(failure ? failure->path() + u' ' + failure->description() : QString()));
    QCOMPARE(written, c.sample);

    const QJsonValue noisy = withUnknownKeys(c.sample);
    failure = decodingFailure([&] { written = c.decodeAndEncode(jsonBytes(noisy)); });
    QVERIFY2(!failure, qPrintable(failure ? failure->path() + u' ' + failure->description() : QString()));
    QCOMPARE(written, c.sample);
}

} // namespace nimbra::test
