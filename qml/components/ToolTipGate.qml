import QtQml

// When a control's help text may show: while the pointer rests on the
// control, not while it is pressed, and not again after a press until the
// pointer has left. A layer that comes over the control takes the hover
// (the overlays accept hover events), so `hovered` turns false under it
// and the text goes. The text itself is the window's one shared ToolTip:
//   ToolTipGate { id: tip; hovered: mouse.containsMouse; pressed: mouse.pressed }
//   ToolTip.visible: tip.shown
QtObject {
    property bool hovered: false
    property bool pressed: false

    property bool dismissed: false
    readonly property bool shown: hovered && !pressed && !dismissed

    onPressedChanged: {
        if (pressed)
            dismissed = true
    }
    onHoveredChanged: {
        if (!hovered)
            dismissed = false
    }
}
