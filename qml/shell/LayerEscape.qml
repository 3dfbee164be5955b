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
    property alias open: layer.open

    signal escapePressed()
    // Something in the window asks the layer to go (a followed link).
    signal closeRequested()

    WindowLayer {
        id: layer
        onCloseRequested: host.closeRequested()
    }

    Shortcut {
        sequence: "Esc"
        enabled: layer.answersEscape
        onActivated: host.escapePressed()
    }
}
