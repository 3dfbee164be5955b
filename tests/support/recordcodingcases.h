#pragma once

#include "api/jsoncoding.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace nimbra::test {

// One record of the service as the coding checks see it: a complete sample
// and the key paths of its fields. Paths may reach into lists
// ("items[1].is_favorite"), so one bad element of a page is a row too.
struct RecordCase
{
    QString name;
    QJsonObject sample; // every field present, dates in the encoder's own form
    QStringList required;
    QStringList optional;
    // Decodes a body and writes the record back as the encoder would.
    std::function<QJsonObject(const QByteArray &)> decodeAndEncode;
};

template<typename T> std::function<QJsonObject(const QByteArray &)> viaToJson()
{
    return [](const QByteArray &body) { return decodeJson<T>(body).toJson(); };
}

QByteArray jsonBytes(const QJsonValue &value);

// Runs the call and returns the decoding error it threw, if any. Any other
// exception fails the test that called it.
std::optional<DecodingError> decodingFailure(const std::function<void()> &call);

// Data-driven checks shared by the record tests. Each *Rows function adds
// the columns and rows of its check; the matching check* function runs one
// row against the same list of cases.
//
// A required field that is missing, null or of another type fails with
// key-not-found, value-not-found or type-mismatch at its own path.
void requiredFieldRows(const QList<RecordCase> &cases);
void checkRequiredField(const QList<RecordCase> &cases);
// An optional field that is missing or null decodes as absent (and so is
// left out when written back); one of another type fails like a required one.
void optionalFieldRows(const QList<RecordCase> &cases);
void checkOptionalField(const QList<RecordCase> &cases);
// The sample decodes and writes back to itself, also with keys the record
// does not know added at every level.
void recordRows(const QList<RecordCase> &cases);
void checkRoundTrip(const QList<RecordCase> &cases);

} // namespace nimbra::test
