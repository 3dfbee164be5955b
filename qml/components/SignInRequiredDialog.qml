import QtQuick
import QtQuick.Controls
import Nimbra

// The alert "Нужен вход" of an action that needs an account. It is open
// while `message` holds a text (a screen binds it to its model's prompt) and
// says `dismissed` when closed, so the screen clears the prompt:
//   SignInRequiredDialog { message: model.loginPrompt; onDismissed: model.loginPrompt = "" }
Popup {
    id: dialog

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
            objectName: "signInTitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "Нужен вход"
            color: AppTheme.textPrimary
            font: AppTheme.headline
        }

        Text {
            objectName: "signInMessage"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: dialog.message
            color: AppTheme.textSecondary
            font: AppTheme.callout
            wrapMode: Text.Wrap
        }

        AccentButton {
            objectName: "signInOk"
            width: parent.width
            text: "OK"
            onClicked: dialog.close()
        }
    }
}
