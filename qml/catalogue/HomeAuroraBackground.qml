import QtQuick
import Nimbra

// The two glows behind the home page's hero, in the accent's tints, sized
// from the width (W) and placed by the hero's height (H). Drawn once on a
// canvas, so it shows on every renderer and redraws only when its size
// changes; the glows reach below the hero and never take a click. The
// glows are soft, so the canvas holds a quarter of the pixels in each
// direction and is scaled up smoothly: a sixteenth of the memory of a
// full-size picture, which would be the size of the whole window.
Item {
    id: aurora

    // The hero's height, by which the glows are placed.
    property real heroHeight: 340
    // The soft edge the glows fade out over, in place of a blur.
    readonly property real softEdge: 50
    readonly property int reduction: 4
    // The glows' colours: the upper one light at its core and the accent
    // further out, the lower one the muted accent.
    readonly property real upperCoreOpacity: 0.5
    readonly property real upperRingOpacity: 0.2
    readonly property real lowerCoreOpacity: 0.45

    height: Math.ceil(Math.max(0.7 * width, 0.65 * width + 0.25 * heroHeight) + softEdge)
    enabled: false

    onHeroHeightChanged: canvas.requestPaint()

    Canvas {
        id: canvas
        width: Math.ceil(aurora.width / aurora.reduction)
        height: Math.ceil(aurora.height / aurora.reduction)
        scale: aurora.reduction
        transformOrigin: Item.TopLeft
        smooth: true
        renderStrategy: Canvas.Immediate

        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        // A disc fading from its centre over `radius`, by (offset, colour) stops.
        function glow(ctx, x, y, radius, stops) {
            const gradient = ctx.createRadialGradient(x, y, 0, x, y, radius)
            for (const stop of stops)
                gradient.addColorStop(stop[0], stop[1])
            ctx.fillStyle = gradient
            ctx.beginPath()
            ctx.arc(x, y, radius, 0, 2 * Math.PI)
            ctx.fill()
        }

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            // Drawn in the page's units on the smaller canvas.
            ctx.scale(1 / aurora.reduction, 1 / aurora.reduction)
            const w = aurora.width
            const h = aurora.heroHeight
            if (w <= 0)
                return
            const light = AppTheme.accentLight
            const accent = AppTheme.accent
            const muted = AppTheme.accentMuted
            glow(ctx, 0.5 * w, 0.35 * w - 0.05 * h, 0.35 * w + aurora.softEdge, [
                [0, Qt.rgba(light.r, light.g, light.b, aurora.upperCoreOpacity)],
                [0.45, Qt.rgba(accent.r, accent.g, accent.b, aurora.upperRingOpacity)],
                [1, Qt.rgba(accent.r, accent.g, accent.b, 0)]
            ])
            glow(ctx, 0.15 * w, 0.35 * w + 0.25 * h, 0.3 * w + aurora.softEdge * 0.9, [
                [0, Qt.rgba(muted.r, muted.g, muted.b, aurora.lowerCoreOpacity)],
                [1, Qt.rgba(muted.r, muted.g, muted.b, 0)]
            ])
        }
    }
}
