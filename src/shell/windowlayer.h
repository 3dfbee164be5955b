#pragma once

#include <QObject>

namespace nimbra {

// One layer of the main window that answers Esc while it is open. The
// window stacks its layers in a fixed order, and of the layers that are
// open only the topmost answers Esc: one key press never reaches two of
// them (two live Esc shortcuts in one window cancel each other out, so
// neither would fire), and a layer never answers while another lies over
// it. The program has one window, so every layer of the process counts.
class WindowLayer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(bool open READ isOpen WRITE setOpen NOTIFY openChanged)
    Q_PROPERTY(bool answersEscape READ answersEscape NOTIFY answersEscapeChanged)

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
    bool answersEscape() const { return m_answersEscape; }

    // The layer that answers Esc now; null while no layer is open.
    static WindowLayer *topmost();
    // Asks every open layer of kind to close (closeRequested): a link
    // followed in a sheet opens its page in the window, which the sheet
    // would otherwise hide.
    static void closeAll(Kind kind);

signals:
    void kindChanged();
    void openChanged();
    void answersEscapeChanged();
    void closeRequested();

private:
    // Works out anew which layer answers and tells those that changed.
    static void restack();

    Kind m_kind = Kind::FullscreenPlayer;
    bool m_open = false;
    bool m_answersEscape = false;
};

} // namespace nimbra
