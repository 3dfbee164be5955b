import QtQuick
import Nimbra

// Put inside a control that plays: while the pointer is on it, the player
// readies its output, so that the press does not wait for the media stack
// or for a resting sound server.
HoverHandler {
    onHoveredChanged: {
        if (hovered)
            PlayerStore.pointerOnPlayControl()
    }
}
