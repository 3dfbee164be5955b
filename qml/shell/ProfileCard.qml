import QtQuick
import QtQuick.Templates as T
import Nimbra

// The signed-in user at the foot of the sidebar: avatar, name and role
// badges. A click opens the profile section.
T.AbstractButton {
    id: card

    required property MainNavigationModel navigation

    readonly property real cardPadding: 10
    readonly property real cornerRadius: 10
    readonly property color highlight: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.12)
    readonly property real avatarSize: 32

    implicitWidth: 200
    implicitHeight: content.implicitHeight + 2 * cardPadding
    padding: cardPadding
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        radius: card.cornerRadius
        color: card.navigation.profileCardHighlighted ? card.highlight : "transparent"
    }

    contentItem: Row {
        id: content
        spacing: AppTheme.spacingS

        Item {
            id: avatar
            width: card.avatarSize
            height: card.avatarSize

            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: AppTheme.accent
                visible: !photo.ready

                Text {
                    objectName: "profileInitial"
                    anchors.centerIn: parent
                    text: card.navigation.profileInitial
                    color: "white"
                    font: AppTheme.systemFont(AppTheme.caption.pixelSize, Font.Bold)
                }
            }

            CircularImage {
                id: photo
                objectName: "profileAvatar"
                anchors.fill: parent
                size: card.avatarSize
                source: card.navigation.profileAvatarUrl
            }
        }

        Column {
            width: card.availableWidth - avatar.width - content.spacing
            spacing: AppTheme.spacingXS

            Text {
                objectName: "profileName"
                width: parent.width
                text: card.navigation.profileName
                textFormat: Text.PlainText
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(AppTheme.caption.pixelSize, Font.DemiBold)
                elide: Text.ElideRight
                maximumLineCount: 1
            }

            BadgePillsView {
                width: parent.width
                items: card.navigation.profileBadges
            }
        }
    }
}
