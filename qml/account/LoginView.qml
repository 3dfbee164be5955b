import QtQuick
import QtQuick.Layouts
import Nimbra

// The sign-in screen, shown while the client cannot be used: sign-in or
// registration with a name and a password, the QR sign-in sheet, or going on
// as a guest. It needs nothing from outside; the sign-in store's state
// decides what follows an action. The form's rules are LoginFormModel's.
Rectangle {
    id: root
    objectName: "loginView"

    // The note under the form runs a little wider than the form.
    readonly property real noteWidth: 380
    // A failure of up to this many lines fits in a low window without
    // moving the form or pushing the links under it out of view.
    readonly property int failureLinesKept: 2

    readonly property alias form: form

    implicitWidth: 520
    implicitHeight: 480
    color: AppTheme.background

    // The fields keep what is typed (the e-mail too while its field is
    // hidden); the model reads it from them.
    LoginFormModel {
        id: form
        username: usernameField.text
        email: emailField.text
        password: passwordField.text
    }

    SignInLayout {
        objectName: "scroller"
        anchors.fill: parent
        caption: form.caption
        transientHeight: errorLine.visible ? errorLine.height + fields.spacing : 0
        transientRoom: root.failureLinesKept * failureMetrics.lineSpacing + fields.spacing

        // Form card.
        Item {
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: AppTheme.signInColumnWidth
            implicitHeight: card.implicitHeight

            HaloCard {
                id: card
                anchors.fill: parent
                implicitHeight: fields.implicitHeight + 2 * AppTheme.sheetMargin

                ColumnLayout {
                    id: fields
                    anchors.fill: parent
                    anchors.margins: AppTheme.sheetMargin
                    spacing: AppTheme.cardPadding

                    FormTextField {
                        id: usernameField
                        objectName: "usernameField"
                        Layout.fillWidth: true
                        // The screen opens ready for typing the name, also
                        // when a page of the session before took the keys
                        // away from the window's scopes.
                        focus: true
                        Component.onCompleted: forceActiveFocus()
                        placeholderText: "Имя пользователя"
                    }
                    FormTextField {
                        id: emailField
                        objectName: "emailField"
                        Layout.fillWidth: true
                        visible: form.isRegister
                        placeholderText: "Email"
                        inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
                    }
                    FormTextField {
                        id: passwordField
                        objectName: "passwordField"
                        Layout.fillWidth: true
                        placeholderText: "Пароль"
                        echoMode: TextInput.Password
                    }
                    AccentButton {
                        objectName: "submitButton"
                        Layout.fillWidth: true
                        Layout.topMargin: AppTheme.spacingXXS
                        text: form.submitTitle
                        enabled: form.canSubmit
                        busy: form.isLoading
                        onClicked: form.submit()
                    }
                    // Under the button, so that the fields and the button
                    // stay where they were pressed and a second press lands
                    // on them.
                    FailureText {
                        id: errorLine
                        objectName: "errorLine"
                        Layout.fillWidth: true
                        text: form.errorText
                    }
                    LinkButton {
                        objectName: "modeSwitch"
                        leftPadding: 0
                        text: form.modeSwitchTitle
                        color: AppTheme.accent
                        onClicked: form.toggleMode()
                    }
                }
            }

            // The card's hairline edge.
            Rectangle {
                anchors.fill: parent
                radius: AppTheme.cardRadius
                color: "transparent"
                border.width: 1
                border.color: AppTheme.border
            }
        }

        Text {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: root.noteWidth
            text: "Можно слушать каталог без входа — избранное и плейлисты требуют аккаунт."
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            font: AppTheme.callout
            lineHeight: AppTheme.paragraphLineHeight
            color: AppTheme.textSecondary
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: AppTheme.cardPadding

            LinkButton {
                objectName: "qrButton"
                Layout.alignment: Qt.AlignHCenter
                symbol: "qrcode"
                text: "Войти по QR-коду"
                color: AppTheme.accent
                onClicked: form.openQrLogin()
            }
            LinkButton {
                objectName: "guestButton"
                Layout.alignment: Qt.AlignHCenter
                text: "Продолжить без входа"
                color: AppTheme.textSecondary
                onClicked: form.continueAsGuest()
            }
        }
    }

    FontMetrics {
        id: failureMetrics
        font: errorLine.font
    }

    QrSignInSheet {
        id: qrSheet
        objectName: "qrSheet"
        onClosed: form.closeQrLogin()
    }

    Connections {
        target: form
        function onShowQrLoginChanged() {
            if (form.showQrLogin)
                qrSheet.open()
        }
    }
}
