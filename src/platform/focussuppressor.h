#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QQuickItem>
#include <QVariant>

namespace nimbra {

// Laid over a view that covers the screens (the artist page, the fullscreen
// player): while it is shown in a window, no text input or scrolling view of
// that window keeps keyboard focus; focus moves to the suppressor itself,
// which ignores keys. It draws nothing and takes no clicks, so what lies
// under it stays usable. A change of `refresh` (say, another artist page)
// checks focus at once.
class FocusSuppressor : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QVariant refresh READ refresh WRITE setRefresh NOTIFY refreshChanged)
public:
    explicit FocusSuppressor(QQuickItem *parent = nullptr);

    QVariant refresh() const { return m_refresh; }
    void setRefresh(const QVariant &refresh);

signals:
    void refreshChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData &data) override;

private:
    void watchWindow(QQuickWindow *window);
    void pass();
    void passSoon();

    QVariant m_refresh;
    QPointer<QQuickWindow> m_window;
    QMetaObject::Connection m_focusConnection;
    bool m_passQueued = false;
};

} // namespace nimbra
