import QtQuick
import Nimbra

// A row of cover slots sharing the width, cut to one rounded rectangle:
// slot i shows urls[i] scaled to fill it once loaded, the raised colour
// before that, on failure and without a url. Drawn on a canvas, so the
// corners hold on every renderer; it redraws only when an image arrives or
// the size changes. A picture is read once for its size, and the pictures
// are let go once all of them are drawn, so the canvas keeps only its own
// pixels, not four full covers; a new size loads them again. Pictures come
// through CoverImages like every other cover, so one download serves the
// collage and any cover elsewhere of the same address.
Canvas {
    id: collage

    property var urls: []
    property int slots: 4
    property real radius: 18
    property real gap: 2

    renderStrategy: Canvas.Immediate

    // What the canvas loads for each slot: the cover's own picture, square.
    readonly property var sources: urls.map(url => url ? String(CoverImages.source(url, 0)) : "")

    // [width, height] of each picture drawn so far, by address.
    property var pictureSizes: ({})
    // Pictures asked for and not arrived yet: each is asked for once, so no
    // late arrival starts another round of loading after they were let go.
    property var asked: ({})

    function ask(url) {
        if (url === "" || url in asked || isImageLoaded(url) || isImageError(url))
            return
        asked[url] = true
        loadImage(url)
    }

    function loadAll() {
        for (const url of sources)
            ask(url)
        requestPaint()
    }

    Component.onCompleted: loadAll()
    onSourcesChanged: loadAll()
    onImageLoaded: {
        for (const url in asked) {
            if (isImageLoaded(url) || isImageError(url))
                delete asked[url]
        }
        requestPaint()
    }
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
        const drawn = []
        let missing = false
        let measured = false
        for (let i = 0; i < slots; ++i) {
            const x = i * (slotWidth + gap)
            ctx.fillStyle = AppTheme.elevated
            ctx.fillRect(x, 0, slotWidth, height)
            const url = i < sources.length ? sources[i] : ""
            if (url === "" || isImageError(url))
                continue
            if (!isImageLoaded(url)) {
                // Let go after an earlier paint: asked for again.
                ask(url)
                missing = true
                continue
            }
            if (!(url in pictureSizes)) {
                const data = ctx.createImageData(url)
                pictureSizes[url] = [data.width, data.height]
                measured = true
            }
            const size = pictureSizes[url]
            if (size[0] <= 0 || size[1] <= 0)
                continue
            // Scaled to fill: the middle of the image, cropped to the slot's shape.
            const scale = Math.max(slotWidth / size[0], height / size[1])
            const sw = slotWidth / scale
            const sh = height / scale
            ctx.drawImage(url, (size[0] - sw) / 2, (size[1] - sh) / 2, sw, sh, x, 0, slotWidth, height)
            drawn.push(url)
        }
        // Only a paint with every picture in it lets them go; until then the
        // ones already here stay for the next paint.
        if (!missing) {
            for (const url of drawn)
                unloadImage(url)
        }
        // Reading a size copied the whole picture; collected now, not at
        // some later allocation that an idle window never makes.
        if (measured)
            gc()
    }
}
