import QtQuick
import Nimbra

// "Аккаунт": the user's rows with "Выйти", or guest mode with the way back
// to the sign-in screen; only the title in between.
SettingsSection {
    id: section

    required property SettingsModel model

    title: "Аккаунт"

    InfoRow {
        width: parent.width
        visible: section.model.hasUser
        label: "Пользователь"
        labelColor: AppTheme.textPrimary
        value: section.model.username
    }

    InfoRow {
        width: parent.width
        visible: section.model.hasUser && section.model.userEmail !== ""
        label: "Email"
        labelColor: AppTheme.textPrimary
        value: section.model.userEmail
    }

    AccentButton {
        objectName: "settingsSignOut"
        visible: section.model.hasUser
        text: "Выйти"
        tint: AppTheme.systemRed
        onClicked: section.model.signOut()
    }

    Text {
        visible: section.model.isGuest
        text: "Гостевой режим"
        color: AppTheme.textPrimary
        font: AppTheme.body
    }

    AccentButton {
        objectName: "leaveGuestMode"
        visible: section.model.isGuest
        text: "Войти в аккаунт"
        onClicked: section.model.signOut()
    }
}
