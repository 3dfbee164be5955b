#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace nimbra {

// The service's base address, kept in the settings, and the rule that turns
// the service's media paths into absolute addresses.
class ApiConfig
{
public:
    static constexpr const char *settingsKey = "nimbra.api.baseURL";

    // The built-in https root of the service.
    static QUrl defaultBaseUrl();

    // The stored address when it is usable (a URL whose scheme, as stored,
    // begins with "http"), else the default. Read afresh every time.
    static QUrl baseUrl();
    // Stores the address trimmed and without any trailing "/". Not checked:
    // an unusable value simply reads back as the default.
    static void setBaseUrl(const QUrl &url);

    // Absolute "http://" and "https://" texts are used unchanged; anything
    // else is a path from the root of the base address's host.
    static std::optional<QUrl> resolve(const QString &path);
    // The resolved address as text; empty for no path or one that does not resolve.
    static QString resolvedText(const std::optional<QString> &path);
};

} // namespace nimbra
