import QtQuick
import QtQuick.Layouts
import Nimbra

// Stands while the saved session is read and its profile fetched: the
// sign-in screen's header at the very place the sign-in screen puts it, and
// nothing that moves. When the keyring or the service is slow to answer it
// says what it waits for, and while it waits for the service it offers the
// way to another account; when the service cannot be reached it says so,
// with a retry and that way too; the gate keeps trying by itself meanwhile.
Rectangle {
    id: launch
    objectName: "launchScreen"

    required property RootViewModel gate

    color: AppTheme.background

    LoginFormModel {
        id: captionSource
    }

    SignInLayout {
        anchors.fill: parent
        caption: captionSource.caption

        ColumnLayout {
            objectName: "launchPanel"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: AppTheme.signInColumnWidth
            visible: launch.gate.isWaitingForKeyring || launch.gate.isWaitingForService || launch.gate.isOffline
            spacing: AppTheme.cardPadding

            // A locked keyring may be asking for its password meanwhile.
            Text {
                objectName: "launchWait"
                Layout.fillWidth: true
                visible: launch.gate.isWaitingForKeyring || launch.gate.isWaitingForService
                text: launch.gate.isWaitingForKeyring ? "Ждём ответа службы хранения паролей…" : "Ждём ответа сервера…"
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignHCenter
                elide: Text.ElideRight
                font: AppTheme.callout
                color: AppTheme.textSecondary
            }
            FailureText {
                objectName: "launchError"
                Layout.fillWidth: true
                visible: launch.gate.isOffline && text !== ""
                text: launch.gate.errorText
                horizontalAlignment: Text.AlignHCenter
            }
            AccentButton {
                objectName: "retryButton"
                Layout.alignment: Qt.AlignHCenter
                visible: launch.gate.isOffline
                text: "Повторить"
                busy: launch.gate.isRetrying
                enabled: !launch.gate.isRetrying
                onClicked: launch.gate.retry()
            }
            LinkButton {
                objectName: "otherAccountButton"
                Layout.alignment: Qt.AlignHCenter
                visible: launch.gate.isWaitingForService || launch.gate.isOffline
                text: "Войти в другой аккаунт"
                color: AppTheme.textSecondary
                onClicked: launch.gate.signInWithAnotherAccount()
            }
        }
    }
}
