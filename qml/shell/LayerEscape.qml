import QtQuick
import Nimbra

// Esc for one layer of the window. The layer says which it is and whether
// it is open; Esc reaches it only while no other open layer lies over it,
// so the window never holds two live Esc shortcuts (see WindowLayer). The
// shortcut does not follow keyboard focus: a sheet closes by Esc whatever
// took the keys meanwhile.
//   LayerEscape { kind: WindowLayer.ClipPlayer; open: shown; onEscapePressed: close() }
// The layer is on top from the moment it is open. A layer made bit by bit
// between frames (an asynchronous Loader) is open a few frames before its
// shortcut is in the window; an Esc pressed then waits for it. A layer whose
// content a Loader makes is opened by the window from its store's flag, with
// the press that asks for it, and says when the content is made:
//   LayerEscape { open: nav.showsClipPlayer; made: loader.status === Loader.Ready
//                 onEscapePressed: loader.item.goBack() }
WindowLayer {
    id: layer

    // Whether what answers the Esc is there; until then an Esc waits.
    property bool made: true

    ready: escShortcut.grabbed && made

    Shortcut {
        id: escShortcut
        property bool grabbed: false
        sequence: "Esc"
        enabled: layer.answersEscape
        onActivated: layer.escapePressed()
        Component.onCompleted: grabbed = true
    }
}
