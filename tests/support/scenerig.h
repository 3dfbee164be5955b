#pragma once

// Header only: QQuickStyle lives in Qt Quick Controls, which the support
// library does not link; the screen tests that use the rig do.
#include "platform/focushelper.h"

#include "qmlscene.h"
#include "qmlwarnings.h"
#include "testenv.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtTest>

#include <memory>

namespace nimbra::test {

// What every screen test sets up as the program does: the Basic style, no
// focus frames, every warning of the process collected, and an engine that
// finds the program's QML module. A member of the test, declared after the
// stores its screens read so that its engine goes before them: start()
// from initTestCase, finishTest() from cleanup.
class SceneRig
{
public:
    // Prepares the test environment too (testenv.h).
    void start()
    {
        initTestEnvironment();
        m_warnings = std::make_unique<QmlWarnings>();
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        FocusHelper::suppressFocusFrames(QCoreApplication::instance());
    }

    // Made at first use. A QML singleton is made once per engine, so a test
    // that registers stores of its own drops the engine first.
    QQmlEngine &engine()
    {
        if (!m_engine) {
            m_engine = std::make_unique<QQmlEngine>();
            m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        }
        return *m_engine;
    }
    void dropEngine() { m_engine.reset(); }

    // The warnings collected since the last call.
    QStringList takeWarnings() { return m_warnings ? m_warnings->take() : QStringList(); }

    // Fails the test on any warning it left, in the scene or while it closed.
    void finishTest()
    {
        const QStringList warnings = takeWarnings();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

private:
    std::unique_ptr<QmlWarnings> m_warnings;
    std::unique_ptr<QQmlEngine> m_engine;
};

} // namespace nimbra::test
