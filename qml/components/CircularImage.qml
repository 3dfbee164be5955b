import QtQuick
import Nimbra

// An image cut to a circle of `size`, scaled to fill it (its middle square
// is kept), loaded asynchronously. `ready` tells whether it shows; callers
// lay their placeholder under it. Drawn by a canvas, so the circle holds on
// every renderer, the software one included. The picture is let go once
// drawn; the canvas keeps only its own pixels.
Item {
    id: circle

    property url source
    property real size: 32
    readonly property bool ready: canvas.loadedSource !== "" && canvas.loadedSource === String(source)

    implicitWidth: size
    implicitHeight: size

    Canvas {
        id: canvas

        property string loadedSource: ""
        // [width, height] of the picture, read once: reading it copies it.
        property var pictureSize: null

        anchors.fill: parent
        visible: circle.ready

        function load() {
            loadedSource = ""
            pictureSize = null
            const url = String(circle.source)
            if (url === "")
                return
            if (isImageLoaded(url))
                imageArrived(url)
            else
                loadImage(url)
        }

        function imageArrived(url) {
            if (url !== String(circle.source) || isImageError(url))
                return
            loadedSource = url
            requestPaint()
        }

        Component.onCompleted: load()
        onImageLoaded: imageArrived(String(circle.source))
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            if (!circle.ready || width <= 0 || height <= 0)
                return
            if (!isImageLoaded(loadedSource)) {
                // Let go after an earlier paint: asked for again.
                loadImage(loadedSource)
                return
            }
            const measured = !pictureSize
            if (measured) {
                const data = ctx.createImageData(loadedSource)
                pictureSize = [data.width, data.height]
            }
            const image = {width: pictureSize[0], height: pictureSize[1]}
            const side = Math.min(image.width, image.height)
            if (side <= 0)
                return
            ctx.beginPath()
            ctx.arc(width / 2, height / 2, Math.min(width, height) / 2, 0, 2 * Math.PI)
            ctx.closePath()
            ctx.clip()
            ctx.drawImage(loadedSource, (image.width - side) / 2, (image.height - side) / 2, side, side,
                          0, 0, width, height)
            unloadImage(loadedSource)
            // The copy made to read the size goes at once.
            if (measured)
                gc()
        }
    }

    onSourceChanged: canvas.load()
}
