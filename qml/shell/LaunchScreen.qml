import QtQuick
import QtQuick.Layouts
import Nimbra

// Stands while the saved session is read and its profile fetched: the
// sign-in screen's header at the very place the sign-in screen puts it, and
// nothing that moves. When the service cannot be reached it says so under
// the header, with a retry and a way to another account; the gate keeps
// trying by itself meanwhile.
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

        // A locked keyring may be asking for its password meanwhile.
        Text {
            objectName: "keyringWait"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: AppTheme.signInColumnWidth
            visible: launch.gate.isWaitingForKeyring
            text: "Ждём ответа службы хранения паролей…"
            textFormat: Text.PlainText
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            font: AppTheme.callout
            color: AppTheme.textSecondary
        }

        ColumnLayout {
            objectName: "offlinePanel"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: AppTheme.signInColumnWidth
            visible: launch.gate.isOffline
            spacing: AppTheme.cardPadding

            FailureText {
                objectName: "launchError"
                Layout.fillWidth: true
                text: launch.gate.errorText
                horizontalAlignment: Text.AlignHCenter
            }
            AccentButton {
                objectName: "retryButton"
                Layout.alignment: Qt.AlignHCenter
                text: "Повторить"
                busy: launch.gate.isRetrying
                enabled: !launch.gate.isRetrying
                onClicked: launch.gate.retry()
            }
            LinkButton {
                objectName: "otherAccountButton"
                Layout.alignment: Qt.AlignHCenter
                text: "Войти в другой аккаунт"
                color: AppTheme.textSecondary
                onClicked: launch.gate.signInWithAnotherAccount()
            }
        }
    }
}
