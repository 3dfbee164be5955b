import QtQuick
import Nimbra

// An image cut to a circle of `size`, scaled to fill it, loaded
// asynchronously. `ready` tells whether it shows; callers lay their
// placeholder under it. Drawn by a canvas, so the circle holds on every
// renderer, the software one included.
Item {
    id: circle

    property url source
    property real size: 32
    readonly property bool ready: image.status === Image.Ready

    implicitWidth: size
    implicitHeight: size

    Image {
        id: image
        visible: false
        asynchronous: true
        cache: true
        source: circle.source
        sourceSize: Qt.size(circle.size * 2, circle.size * 2)
        onStatusChanged: canvas.requestPaint()
    }

    Canvas {
        id: canvas
        anchors.fill: parent
        visible: circle.ready
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()
        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            if (!circle.ready || width <= 0)
                return
            const w = image.implicitWidth
            const h = image.implicitHeight
            const side = Math.min(w, h)
            ctx.beginPath()
            ctx.arc(width / 2, height / 2, Math.min(width, height) / 2, 0, 2 * Math.PI)
            ctx.closePath()
            ctx.clip()
            ctx.drawImage(image, (w - side) / 2, (h - side) / 2, side, side, 0, 0, width, height)
        }
    }
}
