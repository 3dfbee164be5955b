import QtQuick
import QtQuick.Controls
import Nimbra

// A modal alert with a title, a message and "OK", in the theme's colours,
// shown while `message` holds a text; `dismissed` when closed.
Popup {
    id: alert

    property string title
    property string message

    signal dismissed()

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(AppTheme.alertWidth, parent ? parent.width - 2 * AppTheme.spacingXL : AppTheme.alertWidth)
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: AppTheme.spacingXL
    visible: message !== ""
    onClosed: dismissed()

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.surface
        border.color: AppTheme.borderStrong
    }

    Overlay.modal: Rectangle {
        color: AppTheme.modalVeil
    }

    contentItem: Column {
        spacing: AppTheme.spacingM

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: alert.title
            color: AppTheme.textPrimary
            font: AppTheme.headline
        }

        Text {
            objectName: "alertMessage"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: alert.message
            color: AppTheme.textSecondary
            font: AppTheme.callout
            wrapMode: Text.Wrap
        }

        AccentButton {
            width: parent.width
            text: "OK"
            onClicked: alert.close()
        }
    }
}
