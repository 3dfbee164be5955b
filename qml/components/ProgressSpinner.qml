import QtQuick
import Nimbra

// An indeterminate spinner: a faint ring with a bright arc going round. It is
// shown, and turns, only while `running` is true and it is on screen, so a
// finished task leaves nothing redrawing.
Item {
    id: spinner

    property bool running: false
    property real size: 16
    property color color: AppTheme.accent
    property real lineWidth: Math.max(1.5, size / 8)
    readonly property int stepsPerTurn: 12
    readonly property int turnDuration: 1000
    readonly property real trackOpacity: 0.22
    // The lit arc, from twelve o'clock round to half past four.
    readonly property real arcEnd: Math.PI / 4

    implicitWidth: size
    implicitHeight: size
    visible: running

    Canvas {
        id: ring
        anchors.centerIn: parent
        width: spinner.size
        height: spinner.size

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const r = (Math.min(width, height) - spinner.lineWidth) / 2
            ctx.lineWidth = spinner.lineWidth
            ctx.lineCap = "round"
            ctx.strokeStyle = Qt.rgba(spinner.color.r, spinner.color.g, spinner.color.b, spinner.trackOpacity)
            ctx.beginPath()
            ctx.arc(width / 2, height / 2, r, 0, 2 * Math.PI)
            ctx.stroke()
            ctx.strokeStyle = spinner.color
            ctx.beginPath()
            ctx.arc(width / 2, height / 2, r, -Math.PI / 2, spinner.arcEnd)
            ctx.stroke()
        }

        Connections {
            target: spinner
            function onColorChanged() { ring.requestPaint() }
            function onLineWidthChanged() { ring.requestPaint() }
        }
    }

    // Steps a twelfth of a turn at a time, twelve times a second: a turn a
    // second with at most twelve redraws, where an animator would redraw at
    // the display's rate and keep a software renderer busy.
    Timer {
        objectName: "spinnerAnimation"
        interval: spinner.turnDuration / spinner.stepsPerTurn
        repeat: true
        running: spinner.running && spinner.visible
        onTriggered: ring.rotation = (ring.rotation + 360 / spinner.stepsPerTurn) % 360
    }
}
