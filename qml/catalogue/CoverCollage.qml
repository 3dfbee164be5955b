import QtQuick
import Nimbra

// A row of cover slots sharing the width, cut to one rounded rectangle:
// slot i shows urls[i] scaled to fill it once loaded, the raised colour
// before that, on failure and without a url. Drawn on a canvas, so the
// corners hold on every renderer; it redraws only when an image arrives or
// the size changes.
Canvas {
    id: collage

    property var urls: []
    property int slots: 4
    property real radius: 18
    property real gap: 2

    renderStrategy: Canvas.Immediate

    function loadAll() {
        for (const url of urls) {
            if (!isImageLoaded(url) && !isImageError(url))
                loadImage(url)
        }
        requestPaint()
    }

    Component.onCompleted: loadAll()
    onUrlsChanged: loadAll()
    onImageLoaded: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()

    onPaint: {
        const ctx = getContext("2d")
        ctx.reset()
        if (width <= 0 || height <= 0)
            return
        ctx.beginPath()
        ctx.roundedRect(0, 0, width, height, radius, radius)
        ctx.clip()
        const slotWidth = (width - gap * (slots - 1)) / slots
        for (let i = 0; i < slots; ++i) {
            const x = i * (slotWidth + gap)
            ctx.fillStyle = AppTheme.elevated
            ctx.fillRect(x, 0, slotWidth, height)
            const url = i < urls.length ? urls[i] : ""
            if (url === "" || !isImageLoaded(url) || isImageError(url))
                continue
            const image = ctx.createImageData(url)
            if (image.width <= 0 || image.height <= 0)
                continue
            // Scaled to fill: the middle of the image, cropped to the slot's shape.
            const scale = Math.max(slotWidth / image.width, height / image.height)
            const sw = slotWidth / scale
            const sh = height / scale
            ctx.drawImage(url, (image.width - sw) / 2, (image.height - sh) / 2, sw, sh, x, 0, slotWidth, height)
        }
    }
}
