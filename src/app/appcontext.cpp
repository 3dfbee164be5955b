#include "appcontext.h"

#include "platform/focushelper.h"

#include <QCoreApplication>
#include <QUrl>

namespace nimbra {

AppContext::AppContext(QObject *parent) : QObject(parent) { }

AppContext::~AppContext() = default;

bool AppContext::start()
{
    // Qt 6.4 does not search the resource root of QML modules by itself; the
    // module's files import it by name.
    m_engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    FocusHelper::suppressFocusFrames(QCoreApplication::instance());
    m_engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Nimbra/Main.qml")));
    return !m_engine.rootObjects().isEmpty();
}

} // namespace nimbra
