#pragma once

#include <QString>

namespace nimbra {

// The desktop clipboard for the share controls. Only a GUI application has
// one; elsewhere (a core test) writing does nothing.
class Clipboard
{
public:
    Clipboard() = delete;

    static void setText(const QString &text);
    static QString text();
};

} // namespace nimbra
