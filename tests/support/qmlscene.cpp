#include "qmlscene.h"
#include "qmlwarnings.h"
#include "screentest.h"

#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace nimbra::test {

QmlScene::QmlScene(QQmlEngine &engine, const QByteArray &qml, QSize size)
{
    // Inline QML is given a file URL in the test data folder so that relative
    // imports and the module's own import resolve as for a file there.
    build(engine, qml, QUrl::fromLocalFile(QStringLiteral(NIMBRA_TEST_DATA_DIR "/inline.qml")), size);
}

QmlScene::QmlScene(QQmlEngine &engine, const QUrl &file, QSize size)
{
    QFile source(file.toLocalFile());
    if (!source.open(QIODevice::ReadOnly)) {
        m_errors = source.errorString();
        return;
    }
    build(engine, source.readAll(), file, size);
}

QmlScene::~QmlScene()
{
    delete m_root;
}

void QmlScene::build(QQmlEngine &engine, const QByteArray &qml, const QUrl &url, QSize size)
{
    failOnQmlWarnings();
    QQmlComponent component(&engine);
    component.setData(qml, url);
    QObject *object = component.create();
    if (!object) {
        m_errors = component.errorString();
        return;
    }
    m_root = qobject_cast<QQuickItem *>(object);
    if (!m_root) {
        m_errors = QStringLiteral("the scene's root is not an Item");
        delete object;
        return;
    }
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(size);
    m_root->setParentItem(m_window->contentItem());
    m_window->show();
    if (!waitUntilActive(m_window.get())) {
        m_errors = QStringLiteral("the window was never exposed and active");
        delete m_root;
        m_root = nullptr;
    }
}

QQuickItem *QmlScene::item(const QString &objectName) const
{
    return findItem(m_root, objectName);
}

QQuickItem *QmlScene::find(const QString &objectName) const
{
    return findItem(m_window.get(), objectName);
}

QImage QmlScene::grab() const
{
    return m_window ? m_window->grabWindow() : QImage();
}

} // namespace nimbra::test
