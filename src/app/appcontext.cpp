#include "appcontext.h"

#include <QUrl>

namespace nimbra {

AppContext::AppContext(QObject *parent) : QObject(parent) { }

AppContext::~AppContext() = default;

bool AppContext::start()
{
    m_engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Nimbra/Main.qml")));
    return !m_engine.rootObjects().isEmpty();
}

} // namespace nimbra
