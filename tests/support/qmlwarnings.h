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

// Makes any warning or script error from now to the end of the running test
// function fail that test (Qt's own noise aside). The rig and the scene call
// it when they make a window, so no screen test can forget to look.
void failOnQmlWarnings();

} // namespace nimbra::test
