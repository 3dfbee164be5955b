import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbra

// Sign-in screen: user name and password, or going on as a guest.
Item {
    id: login
    objectName: "loginView"

    ColumnLayout {
        anchors.centerIn: parent
        width: 320
        spacing: 12

        Text {
            Layout.alignment: Qt.AlignHCenter
            Layout.bottomMargin: 8
            text: "Вход"
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(26, Font.Bold)
        }

        TextField {
            id: username
            objectName: "usernameField"
            Layout.fillWidth: true
            placeholderText: "Имя пользователя"
        }

        TextField {
            id: password
            objectName: "passwordField"
            Layout.fillWidth: true
            placeholderText: "Пароль"
            echoMode: TextInput.Password
            onAccepted: signIn.clicked()
        }

        Text {
            Layout.fillWidth: true
            visible: text !== ""
            text: AuthStore.errorMessage
            color: AppTheme.systemRed
            font: AppTheme.callout
            wrapMode: Text.Wrap
        }

        Button {
            id: signIn
            objectName: "signInButton"
            Layout.fillWidth: true
            text: "Войти"
            enabled: !AuthStore.isLoading && username.text !== "" && password.text !== ""
            onClicked: AuthStore.login(username.text, password.text)
        }

        Button {
            objectName: "guestButton"
            Layout.alignment: Qt.AlignHCenter
            flat: true
            text: "Продолжить без входа"
            onClicked: AuthStore.continueAsGuest()
        }
    }
}
