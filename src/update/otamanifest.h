#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace nimbra {

// A newer build of the client as the update manifest names it.
struct OtaManifest
{
    qint64 versionCode = 0; // build number, compared with the running build's
    std::optional<QString> versionName; // shown as "v" + name
    QString downloadUrl; // absolute address of the installer, never empty
    std::optional<QString> releaseNotes;

    bool operator==(const OtaManifest &other) const = default;

    // The fields under their C++ names; absent texts are left out.

    // Reads the manifest document: one JSON object with "versionCode" (a
    // whole number, or its decimal text) and the first non-empty text of
    // "dmgUrl", "downloadUrl" and "url". Throws OtaError, checking JSON,
    // then the version code, then the address.
    static OtaManifest fromJson(const QByteArray &body);
};

} // namespace nimbra
