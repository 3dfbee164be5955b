#include "update/otamanifest.h"

#include "update/buildinfo.h"
#include "update/otaerror.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

std::optional<qint64> versionCodeOf(const QJsonValue &value)
{
    if (value.isString())
        return BuildInfo::parseWholeNumber(value.toString());
    if (!value.isDouble())
        return std::nullopt;
    // Qt keeps a JSON integer that fits in 64 bits exactly; any other number
    // arrives as a double and counts only when it is whole and in range.
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong)
        return number.toLongLong();
    const double d = value.toDouble();
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(d) || d != std::trunc(d) || d < -limit || d >= limit)
        return std::nullopt;
    return qint64(d);
}

std::optional<QString> textOf(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

} // namespace

OtaManifest OtaManifest::fromJson(const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        throw OtaError::invalidJson();
    const QJsonObject object = document.object();

    const auto versionCode = versionCodeOf(object.value(u"versionCode"_s));
    if (!versionCode)
        throw OtaError::missingVersionCode();

    std::optional<QString> downloadUrl;
    for (const QString &key : {u"dmgUrl"_s, u"downloadUrl"_s, u"url"_s}) {
        const auto text = textOf(object, key);
        if (text && !text->isEmpty()) {
            downloadUrl = text;
            break;
        }
    }
    if (!downloadUrl)
        throw OtaError::missingDownloadUrl();

    return OtaManifest {*versionCode, textOf(object, u"versionName"_s), *downloadUrl,
        textOf(object, u"releaseNotes"_s)};
}

} // namespace nimbra
