import QtQuick
import Nimbra

// Esc for one layer of the window. The layer says which it is and whether
// it is open; Esc reaches it only while no other open layer lies over it,
// so the window never holds two live Esc shortcuts (see WindowLayer). The
// shortcut does not follow keyboard focus: a sheet closes by Esc whatever
// took the keys meanwhile.
//   LayerEscape { kind: WindowLayer.ClipPlayer; open: shown; onEscapePressed: close() }
Item {
    id: host

    property alias kind: layer.kind
    property bool open: false

    signal escapePressed()
    // Something in the window asks the layer to go (a followed link).
    signal closeRequested()

    // The layer takes Esc from the layers under it only once its shortcut
    // is in the window. A layer made bit by bit between frames (an
    // asynchronous Loader) is open, and shown, a few frames before its
    // shortcut is grabbed; an Esc then reached no layer at all.
    WindowLayer {
        id: layer
        open: host.open && escShortcut.grabbed
        onCloseRequested: host.closeRequested()
    }

    Shortcut {
        id: escShortcut
        property bool grabbed: false
        sequence: "Esc"
        enabled: layer.answersEscape
        onActivated: host.escapePressed()
        Component.onCompleted: grabbed = true
    }
}
