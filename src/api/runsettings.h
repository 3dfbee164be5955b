#pragma once

#include <QString>
#include <QVariant>

namespace nimbra {

// Settings given for one run only (the command line's addresses): read in
// place of the stored value of their key, and never written to the settings
// file, so the next start without them is as before. Any thread.
class RunSettings
{
public:
    static void set(const char *key, const QString &value);
    static void clear(const char *key);
    // The run's value of key when one was given, else the stored one.
    static QVariant value(const char *key);
    static bool has(const char *key);
};

} // namespace nimbra
