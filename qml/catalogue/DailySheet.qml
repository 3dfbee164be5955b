import QtQuick
import QtQuick.Controls
import Nimbra

// Today's playlist over the window: the daily smart playlist's page, filled
// with the list the home page already holds (no request, no loading state).
// Closed by its bar or by Escape; each opening shows the list afresh.
Popup {
    id: sheet
    objectName: "dailySheet"

    required property HomePageModel home

    readonly property real minimumWidth: 480
    readonly property real minimumHeight: 520

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.max(minimumWidth, Math.min(640, parent ? parent.width - 2 * AppTheme.spacingXXL : minimumWidth))
    height: Math.max(minimumHeight, parent ? parent.height - 2 * AppTheme.spacingXXL : minimumHeight)
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: 0

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.background
        border.color: AppTheme.borderStrong
    }

    Overlay.modal: Rectangle {
        color: AppTheme.alpha(AppTheme.background, 0.6)
    }

    // Made on opening and dropped on closing, as a sheet's content is.
    Loader {
        anchors.fill: parent
        anchors.margins: 1
        active: sheet.visible
        sourceComponent: SmartPlaylistView {
            argument: "daily"
            color: "transparent"
            fill: (list) => sheet.home.showDailyIn(list)
            closeAction: () => sheet.close()
        }
    }
}
