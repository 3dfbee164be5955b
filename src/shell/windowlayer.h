#pragma once

#include <QList>
#include <QObject>
#include <QQmlListProperty>

namespace nimbra {

// One layer of the main window that answers Esc while it is open. The
// window stacks its layers in a fixed order, and of the layers that are
// open only the topmost answers Esc: one key press never reaches two of
// them (two live Esc shortcuts in one window cancel each other out, so
// neither would fire), and a layer never answers while another lies over
// it. The program has one window, so every layer of the process counts.
//
// A layer is on top from the moment it is open, also while it cannot
// answer yet (its Esc shortcut is not in the window while the layer is made
// bit by bit between frames): an Esc pressed then waits for it and reaches
// it once it can, and never the layer under it.
class WindowLayer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(bool open READ isOpen WRITE setOpen NOTIFY openChanged)
    // Whether the layer's Esc shortcut is in the window.
    Q_PROPERTY(bool ready READ isReady WRITE setReady NOTIFY readyChanged)
    Q_PROPERTY(bool answersEscape READ answersEscape NOTIFY answersEscapeChanged)
    // The layer's own objects (its shortcut) in QML.
    Q_PROPERTY(QQmlListProperty<QObject> data READ data CONSTANT)
    Q_CLASSINFO("DefaultProperty", "data")

public:
    // Back to front, as the main window stacks them: the fullscreen player
    // covers the detail column, the clip player the whole window, and a
    // sheet (the daily list) lies over everything.
    enum class Kind { FullscreenPlayer, ClipPlayer, Sheet };
    Q_ENUM(Kind)

    explicit WindowLayer(QObject *parent = nullptr);
    ~WindowLayer() override;

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    bool isOpen() const { return m_open; }
    void setOpen(bool open);
    bool isReady() const { return m_ready; }
    void setReady(bool ready);
    bool answersEscape() const { return m_answersEscape; }
    QQmlListProperty<QObject> data();

    // The open layer on top, whether or not it can answer yet; null while no
    // layer is open.
    static WindowLayer *topmost();
    // Asks every open layer of kind to close (closeRequested): a link
    // followed in a sheet opens its page in the window, which the sheet
    // would otherwise hide.
    static void closeAll(Kind kind);
    // Keeps an Esc for the layer on top while it cannot answer yet; true
    // when the key was kept.
    static bool holdEscape();

signals:
    void kindChanged();
    void openChanged();
    void readyChanged();
    void answersEscapeChanged();
    void closeRequested();
    // Esc for this layer: its shortcut's, or one pressed while it was made.
    void escapePressed();

private:
    // Works out anew which layer answers and tells those that changed; an
    // Esc kept for the top goes to it once it answers.
    static void restack();

    Kind m_kind = Kind::FullscreenPlayer;
    bool m_open = false;
    bool m_ready = false;
    bool m_answersEscape = false;
    bool m_escapeHeld = false;
    QList<QObject *> m_data;
};

} // namespace nimbra
