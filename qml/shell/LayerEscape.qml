import QtQuick
import Nimbra

// Esc for one layer of the window. The layer says which it is and whether
// it is open; Esc reaches it only while no other open layer lies over it,
// so the window never holds two live Esc shortcuts (see WindowLayer).
//   LayerEscape { kind: WindowLayer.ClipPlayer; open: shown; onEscapePressed: close() }
Item {
    id: host

    property alias kind: layer.kind
    property alias open: layer.open

    signal escapePressed()

    WindowLayer {
        id: layer
    }

    Shortcut {
        sequence: "Esc"
        enabled: layer.answersEscape
        onActivated: host.escapePressed()
    }
}
