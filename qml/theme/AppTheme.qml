pragma Singleton

import QtQuick
import Nimbra

// The one fixed dark palette of the client and the measures that go with it.
// There is no light variant. Colours are sRGB; the two hairline colours are
// the accent itself at a lower opacity, not separate definitions.
QtObject {
    id: theme

    // Backgrounds, darkest first.
    readonly property color background: "#080810"
    readonly property color surface: "#0f0f1e"
    readonly property color elevated: "#1a1a2e"

    // Accents.
    readonly property color accent: "#9c72f5"
    readonly property color accentLight: "#c4a8ff"
    readonly property color accentMuted: "#7c52d5"

    // Text.
    readonly property color textPrimary: "#f0eeff"
    readonly property color textSecondary: "#9896b0"
    readonly property color textMuted: "#6b6890"

    // Hairlines.
    readonly property color border: Qt.rgba(accent.r, accent.g, accent.b, 0.1)
    readonly property color borderStrong: Qt.rgba(accent.r, accent.g, accent.b, 0.22)

    // Named colours of the desktop the screens ask for by name (the dark
    // appearance's red, orange, green and blue). White, black and clear are
    // QML's own "white", "black" and "transparent".
    readonly property color systemRed: "#ff453a"
    readonly property color systemOrange: "#ff9f0a"
    readonly property color systemGreen: "#32d74b"
    readonly property color systemBlue: "#0a84ff"

    // Corner radius of cards (HaloCard).
    readonly property real cardRadius: 12

    // Text styles by name, in logical pixels.
    readonly property font largeTitle: Qt.font({ pixelSize: 26 })
    readonly property font title: Qt.font({ pixelSize: 22 })
    readonly property font title2: Qt.font({ pixelSize: 17 })
    readonly property font title3: Qt.font({ pixelSize: 15 })
    readonly property font headline: Qt.font({ pixelSize: 13, weight: Font.Bold })
    readonly property font body: Qt.font({ pixelSize: 13 })
    readonly property font callout: Qt.font({ pixelSize: 12 })
    readonly property font subheadline: Qt.font({ pixelSize: 11 })
    readonly property font footnote: Qt.font({ pixelSize: 10 })
    readonly property font caption: Qt.font({ pixelSize: 10 })
    readonly property font caption2: Qt.font({ pixelSize: 10 })

    // A font of a given pixel size and weight, for the places that name a
    // size instead of a style ("system size 26, semibold").
    function systemFont(pixelSize, weight) {
        return Qt.font({ pixelSize: pixelSize, weight: weight === undefined ? Font.Normal : weight })
    }

    // Icons: an icon set in a text style is drawn in a box this many times the
    // style's size, so that it looks as large next to the text as the
    // design's symbols do (the icon font leaves a margin inside its box).
    readonly property real symbolScale: 1.35
    function symbolSize(textFont) {
        return Math.round(textFont.pixelSize * symbolScale)
    }

    // The icon font, loaded once for every AppIcon. Its family is empty when
    // the font is not installed; icons then draw nothing.
    readonly property FontLoader iconFontLoader: FontLoader {
        source: IconMap.fontUrl
    }
    readonly property string iconFontFamily: iconFontLoader.status === FontLoader.Ready ? iconFontLoader.font.family : ""
}
