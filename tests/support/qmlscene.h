#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QUrl>

#include <memory>

class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace nimbra::test {

// A window showing one QML item, for screen tests run offscreen: the item is
// given as QML text (imports included) or as a file, made with `engine`, put
// into a window of `size` and shown. Check ok() before use; errors() says why
// it could not be made.
class QmlScene
{
public:
    QmlScene(QQmlEngine &engine, const QByteArray &qml, QSize size = QSize(400, 300));
    QmlScene(QQmlEngine &engine, const QUrl &file, QSize size);
    ~QmlScene();

    bool ok() const { return m_root != nullptr; }
    QString errors() const { return m_errors; }

    QQuickWindow *window() const { return m_window.get(); }
    QQuickItem *root() const { return m_root; }
    // The item of the scene with this objectName, or null.
    QQuickItem *item(const QString &objectName) const;
    // The same anywhere in the window: popups and sheets live in its overlay.
    QQuickItem *find(const QString &objectName) const;
    // A rendering of the window as it is now.
    QImage grab() const;

private:
    void build(QQmlEngine &engine, const QByteArray &qml, const QUrl &url, QSize size);

    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem *m_root = nullptr;
    QString m_errors;
};

} // namespace nimbra::test
