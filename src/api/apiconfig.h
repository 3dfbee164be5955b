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

    // The address given for this run, else the stored one, when it is usable
    // (a URL whose scheme, as written, begins with "http", and plain http
    // only to this machine), else the default. Read afresh every time.
    static QUrl baseUrl();
    // The stored address alone, by the same rule: what was in force before
    // this run's own address, if any.
    static QUrl storedBaseUrl();
    // Stores the address trimmed and without any trailing "/", in force from
    // now on, over the run's own. Not checked: an unusable value simply
    // reads back as the default (isAcceptedBaseUrl says so beforehand).
    static void setBaseUrl(const QUrl &url);
    // In force for this run only (the command line): never stored.
    static void setRunBaseUrl(const QUrl &url);

    // Whether the client may talk to url at all: https anywhere, plain http
    // only to this machine (a loopback address or "localhost"), since a
    // sign-in there would send the password unencrypted.
    static bool isAllowedAddress(const QUrl &url);
    // Plain http to another machine: refused as the service's address.
    static bool isPlainHttpElsewhere(const QUrl &url);
    // Whether url, given as the service's address, would be the one in
    // force: an allowed address that reads back as itself once stored.
    static bool isAcceptedBaseUrl(const QUrl &url);
    // The address given (for the run, else stored) is not used, and the
    // default answers in its place; none when nothing was given.
    static std::optional<QUrl> refusedConfiguredAddress();

    // Absolute "http://" and "https://" texts are used unchanged; anything
    // else is a path from the root of the base address's host.
    static std::optional<QUrl> resolve(const QString &path);
    // The resolved address as text; empty for no path or one that does not resolve.
    static QString resolvedText(const std::optional<QString> &path);
};

} // namespace nimbra
