#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

namespace nimbra {

// A newer build of the client as the update manifest names it.
struct OtaManifest
{
    qint64 versionCode = 0; // build number, compared with the running build's
    std::optional<QString> versionName; // shown as "v" + name
    QString downloadURL; // absolute address of the installer, never empty
    std::optional<QString> releaseNotes;

    bool operator==(const OtaManifest &other) const = default;

    // The fields under their C++ names; absent texts are left out.
    QVariantMap toVariantMap() const;
};

} // namespace nimbra
