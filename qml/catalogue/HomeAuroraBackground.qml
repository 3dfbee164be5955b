import QtQuick
import Nimbra

// The two glows behind the home page's hero, in the accent's tints, sized
// from the width (W) and placed by the hero's height (H). Drawn once on a
// canvas, so it shows on every renderer and redraws only when its size
// changes; the glows reach below the hero and never take a click.
Canvas {
    id: aurora

    // The hero's height, by which the glows are placed.
    property real heroHeight: 340
    // The soft edge the glows fade out over, in place of a blur.
    readonly property real softEdge: 50

    height: Math.ceil(Math.max(0.7 * width, 0.65 * width + 0.25 * heroHeight) + softEdge)
    enabled: false
    renderStrategy: Canvas.Immediate

    onWidthChanged: requestPaint()
    onHeroHeightChanged: requestPaint()

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
        const w = width
        const h = heroHeight
        if (w <= 0)
            return
        const light = AppTheme.accentLight
        const accent = AppTheme.accent
        const muted = AppTheme.accentMuted
        glow(ctx, 0.5 * w, 0.35 * w - 0.05 * h, 0.35 * w + softEdge, [
            [0, Qt.rgba(light.r, light.g, light.b, 0.5)],
            [0.45, Qt.rgba(accent.r, accent.g, accent.b, 0.2)],
            [1, Qt.rgba(accent.r, accent.g, accent.b, 0)]
        ])
        glow(ctx, 0.15 * w, 0.35 * w + 0.25 * h, 0.3 * w + softEdge * 0.9, [
            [0, Qt.rgba(muted.r, muted.g, muted.b, 0.45)],
            [1, Qt.rgba(muted.r, muted.g, muted.b, 0)]
        ])
    }
}
