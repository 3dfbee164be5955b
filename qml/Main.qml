import QtQuick
import QtQuick.Controls
import Nimbra

ApplicationWindow {
    id: window
    width: AppTheme.windowWidth
    height: AppTheme.windowHeight
    minimumWidth: AppTheme.windowMinimumWidth
    minimumHeight: AppTheme.windowMinimumHeight
    visible: true
    title: "Nimbras"
    color: AppTheme.background

    // The controls' own colours follow the theme, with the accent as the
    // tint of toggles, progress and selection.
    palette.window: AppTheme.background
    palette.windowText: AppTheme.textPrimary
    palette.base: AppTheme.elevated
    palette.alternateBase: AppTheme.surface
    palette.text: AppTheme.textPrimary
    palette.button: AppTheme.elevated
    palette.buttonText: AppTheme.textPrimary
    palette.brightText: "white"
    palette.highlight: AppTheme.accent
    palette.highlightedText: "white"
    palette.link: AppTheme.accent
    palette.placeholderText: AppTheme.textMuted
    palette.toolTipBase: AppTheme.elevated
    palette.toolTipText: AppTheme.textPrimary
    palette.light: AppTheme.elevated
    palette.midlight: AppTheme.elevated
    palette.mid: AppTheme.textMuted
    palette.dark: AppTheme.accent
    palette.shadow: "black"

    RootView {
        anchors.fill: parent
    }
}
