import QtQuick
import QtQuick.Controls
import Nimbra

// The "Профиль" section: the signed-in user's header with badges, the
// custom badges card, the account facts with "Выйти" and the edit card.
// Without a token and a profile it shows the prompt to sign in instead.
Item {
    id: screen
    objectName: "profileView"

    // The widest the cards run.
    readonly property real columnWidth: 520

    ProfileModel {
        id: profile
        objectName: "profileModel"
    }

    ShadedPageBackground {
        anchors.fill: parent
    }

    Text {
        id: title
        objectName: "sectionTitle"
        x: AppTheme.featureMargin
        y: AppTheme.featureMargin
        text: "Профиль"
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
    }

    StateView {
        objectName: "profileGate"
        anchors.fill: parent
        loadState: profile.isAvailable ? LoadState.Loaded : LoadState.Empty
        emptyTitle: "Войдите в аккаунт"
        emptyText: "Профиль и бейджи доступны после входа."
        emptyIcon: "person.crop.circle"
    }

    ScrollView {
        id: scroll
        objectName: "profileContent"
        anchors.fill: parent
        anchors.topMargin: title.y + title.height
        visible: profile.isAvailable
        contentWidth: availableWidth
        ScrollBar.vertical.policy: ScrollBar.AsNeeded

        Column {
            x: AppTheme.featureMargin
            y: AppTheme.featureMargin
            width: Math.min(scroll.availableWidth - 2 * AppTheme.featureMargin, screen.columnWidth)
            spacing: AppTheme.spacingXL
            bottomPadding: AppTheme.scrollEndPadding

            ProfileHeader {
                width: parent.width
                model: profile
            }

            AccountCard {
                objectName: "badgesCard"
                width: parent.width
                visible: profile.hasCustomRoles
                title: "Бейджи"

                Column {
                    width: parent.width
                    spacing: AppTheme.spacingXS

                    BadgePillsView {
                        width: parent.width
                        items: profile.badges
                    }

                    Text {
                        width: parent.width
                        text: "Награды и роли, назначенные администратором."
                        color: AppTheme.textSecondary
                        font: AppTheme.caption
                        wrapMode: Text.Wrap
                    }
                }
            }

            AccountCard {
                width: parent.width
                title: "Аккаунт"

                Column {
                    width: parent.width

                    InfoRow { width: parent.width; font: AppTheme.subheadline; label: "ID"; value: profile.userId }
                    InfoRow { width: parent.width; font: AppTheme.subheadline; label: "Роль"; value: profile.role }
                    InfoRow { width: parent.width; font: AppTheme.subheadline; label: "Email"; value: profile.emailText }
                    InfoRow {
                        width: parent.width
                        font: AppTheme.subheadline
                        label: "Исполнитель в каталоге"
                        value: profile.catalogArtistText
                    }
                    InfoRow { width: parent.width; font: AppTheme.subheadline; label: "Регистрация"; value: profile.createdText }
                }

                AccentButton {
                    objectName: "profileSignOut"
                    text: "Выйти"
                    tint: AppTheme.systemRed
                    onClicked: profile.signOut()
                }
            }

            ProfileEditCard {
                width: parent.width
                model: profile
            }
        }
    }
}
