import QtQuick
import QtQuick.Controls
import Nimbra

// Today's playlist over the window: the daily smart playlist's page, filled
// with the list the home page already holds (no request, no loading state).
// Closed by its bar, by Escape, or by a followed artist link (the page opens
// in the window, in front); each opening shows the list as it is then.
Popup {
    id: sheet
    objectName: "dailySheet"

    required property HomePageModel homeModel

    readonly property real minimumWidth: 480
    readonly property real minimumHeight: 520
    readonly property real maximumWidth: 640

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.max(minimumWidth, Math.min(maximumWidth, parent ? parent.width - 2 * AppTheme.spacingXXL : minimumWidth))
    height: Math.max(minimumHeight, parent ? parent.height - 2 * AppTheme.spacingXXL : minimumHeight)
    modal: true
    focus: true
    // Esc comes through the window's layers, whatever holds the keys.
    closePolicy: Popup.NoAutoClose
    padding: 0

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.background
        border.color: AppTheme.borderStrong
    }

    Overlay.modal: Rectangle {
        color: AppTheme.modalVeil
    }

    onAboutToShow: view.showDaily()

    LayerEscape {
        kind: WindowLayer.Sheet
        open: sheet.visible
        onEscapePressed: sheet.close()
        onCloseRequested: sheet.close()
    }

    SmartPlaylistView {
        id: view
        anchors.fill: parent
        anchors.margins: 1
        argument: "daily"
        color: "transparent"
        dailySource: sheet.homeModel
        onCloseRequested: sheet.close()
    }
}
