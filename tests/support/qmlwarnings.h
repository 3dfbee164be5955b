#pragma once

#include <QStringList>

namespace nimbra::test {

// Collects every warning, critical and fatal message of the process while it
// lives (QML errors, binding loops, console.warn, Qt's own warnings) and still
// prints them as before. Screen tests fail when a screen produced any.
class QmlWarnings
{
public:
    QmlWarnings();
    ~QmlWarnings();
    QmlWarnings(const QmlWarnings &) = delete;
    QmlWarnings &operator=(const QmlWarnings &) = delete;

    // The messages collected since the last call.
    QStringList take();
};

} // namespace nimbra::test
