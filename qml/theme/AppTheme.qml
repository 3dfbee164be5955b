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
    readonly property color border: alpha(accent, 0.1)
    readonly property color borderStrong: alpha(accent, 0.22)

    // Named colours of the desktop the screens ask for by name (the dark
    // appearance's red, orange, green and blue). White, black and clear are
    // QML's own "white", "black" and "transparent".
    readonly property color systemRed: "#ff453a"
    readonly property color systemOrange: "#ff9f0a"
    readonly property color systemGreen: "#32d74b"
    readonly property color systemBlue: "#0a84ff"

    // Spacing scale, in logical pixels: gaps between items and paddings.
    readonly property real spacingXXS: 2
    readonly property real spacingXS: 4
    readonly property real spacingS: 8
    readonly property real spacingM: 12
    readonly property real spacingL: 16
    readonly property real spacingXL: 20
    readonly property real spacingXXL: 32
    // The gap between the items of a row: a cover and its texts, the
    // buttons of a bar, a time label and its bar, an icon and its title.
    readonly property real itemSpacing: 10
    // The gap between the stacked lines of a title block (title, artist,
    // caption).
    readonly property real lineSpacing: 6

    // Corner radii: covers, rows and fields, cards.
    readonly property real radiusS: 6
    readonly property real radiusM: 8
    readonly property real radiusL: 12
    readonly property real cardRadius: radiusL
    // Large covers and sheets; banners and the biggest cards.
    readonly property real radiusXL: 14
    readonly property real radiusXXL: 16

    // Inside cards, popovers and bars: the padding, which is also the gap
    // between their blocks. Inside sheets and the full-screen player: their
    // margin.
    readonly property real cardPadding: 14
    readonly property real sheetMargin: 24
    // Inside the large rounded cards (radiusXXL and up): the profile's
    // cards, the update strip, today's playlist.
    readonly property real wideCardPadding: 18
    // The margin of the pages that open on a large header (home, profile,
    // the artist's page).
    readonly property real featureMargin: 22
    // The margin of the sections that are no list pages (settings, a
    // section not in this build), beside their title and content.
    readonly property real sectionMargin: 28
    // Below the last card of a scrolled settings or profile page.
    readonly property real scrollEndPadding: 44

    // Motion durations in milliseconds, with the one easing they share.
    readonly property int motionFast: 220
    readonly property int motionMedium: 280
    readonly property int motionSlow: 350
    readonly property int motionEasing: Easing.InOutQuad
    // How long the pointer rests on a control before its help text shows.
    readonly property int toolTipDelay: 600

    // The window's first size and the smallest it can be made.
    readonly property real windowWidth: 1100
    readonly property real windowHeight: 720
    readonly property real windowMinimumWidth: 900
    readonly property real windowMinimumHeight: 600
    // Fixed measures of the window: the sidebar, the room kept under the
    // screens for the mini player bar, the lift of the update strip above
    // it.
    readonly property real sidebarWidth: 220
    readonly property real miniPlayerHeight: 64
    readonly property real miniPlayerReserve: 72
    readonly property real updateBannerLift: 80
    // The strip's own height with its margin below; the room kept under the
    // screens while it shows, so that their last rows can be scrolled into view.
    readonly property real updateBannerHeight: 74
    // The room under the screens: the mini player's, or the strip's above it.
    function bottomReserve(miniPlayerShown: bool, bannerShown: bool): real {
        const mini = miniPlayerShown ? miniPlayerReserve : 0
        if (!bannerShown)
            return mini
        return (miniPlayerShown ? updateBannerLift : 0) + updateBannerHeight + spacingS
    }

    // Rows of track lists and their covers.
    readonly property real trackRowHeight: 56
    readonly property real rowArtworkSize: 44
    readonly property real iconButtonSize: 32

    // List pages: the margin of a section's title and of the blocks under
    // it, the bar of a pushed page ("Назад" and the title), the cover at the
    // head of an album's page.
    readonly property real pageMargin: spacingXL
    readonly property real barHeight: 48
    readonly property real backButtonHeight: 28
    readonly property real albumHeaderCoverSize: 96
    // The widest a line of the lyrics runs.
    readonly property real lyricsColumnWidth: 480

    // Controls: the height of buttons, fields and sidebar rows, the side
    // padding of a filled button, the gap between a symbol and its label
    // (and between a text and the badge or mark beside it, and between
    // badges), the width of an alert, the small symbol inside a button.
    readonly property real controlHeight: 36
    readonly property real buttonPadding: 18
    readonly property real symbolGap: 6
    readonly property real alertWidth: 320
    // The column of the sign-in screens under their header.
    readonly property real signInColumnWidth: 360
    readonly property real smallSymbolSize: 16
    // Sliders (seek bars, the crossfade slider): the height they take, the
    // thickness of their track, the handle.
    readonly property real sliderHeight: 20
    readonly property real sliderTrackThickness: 6
    readonly property real sliderHandleSize: 16
    // A coloured square that holds a card's emblem (smart playlists, clips).
    readonly property real emblemSize: 48
    // The largest cover of a grid's cell (albums, clips); a column is at
    // least as wide.
    readonly property real gridCoverSize: 180
    // The round cover of a new release on the home page.
    readonly property real releaseCoverSize: 148
    // The round transport buttons of the full-screen players.
    readonly property real playerButtonSize: 44
    // Round icon buttons beside a header's main action, and the clip
    // player's previous and next.
    readonly property real roundButtonSize: 40
    // Spinners: the one in a line of text or a small button, the one that
    // stands for a whole sheet or list while it loads.
    readonly property real smallSpinnerSize: 14
    readonly property real spinnerSize: 28

    // Overlays that screens share: the playing or hovered row, the veil
    // behind a modal sheet or alert.
    readonly property color rowHighlight: alpha(elevated, 0.6)
    readonly property color modalVeil: alpha(background, 0.6)
    // The darker top of the pages that open on a large header.
    readonly property color pageTopShade: "#05050f"

    // Over covers and video (the full-screen and clip players): the
    // symbols and labels of controls, the fill of their round buttons.
    readonly property color mediaForeground: alpha("white", 0.9)
    readonly property color mediaFill: alpha("white", 0.12)
    // The empty part of a seek bar or slider.
    readonly property color sliderTrack: alpha("white", 0.18)
    // The hairline round a picture or a badge on a dark ground.
    readonly property color lightHairline: alpha("white", 0.12)

    // The hairline of a field under the pointer.
    readonly property color fieldBorderHovered: alpha(accent, 0.4)

    // A filled control's colour while pressed and while hovered.
    function pressedTint(c) {
        return Qt.darker(c, 1.18)
    }
    function hoveredTint(c) {
        return Qt.lighter(c, 1.08)
    }
    // The fill behind a round toggle that is on: its own colour, faint.
    function toggleFill(c) {
        return alpha(c, 0.2)
    }

    // A colour with its opacity replaced (hairlines, tints, veils).
    // Takes a colour or a colour name ("white"): a name has no channels of
    // its own and would come out black.
    function alpha(c, a) {
        const colour = Qt.darker(c, 1.0)
        return Qt.rgba(colour.r, colour.g, colour.b, a)
    }

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
    // The text of buttons and fields.
    readonly property font control: Qt.font({ pixelSize: 14 })

    // Emoji are asked for by this name: the text fonts have a plain "❤" of
    // their own, which would win over the colour one.
    readonly property string emojiFamily: "Noto Color Emoji"

    // A font of a given pixel size and weight, for the places that name a
    // size instead of a style ("system size 26, semibold").
    function systemFont(pixelSize, weight) {
        return Qt.font({ pixelSize: pixelSize, weight: weight === undefined ? Font.Normal : weight })
    }

    // Wrapped explanatory lines under a heading or a form.
    readonly property real paragraphLineHeight: 1.15

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
