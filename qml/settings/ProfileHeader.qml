import QtQuick
import Nimbra

// The avatar beside the name, the badge pills and the caption by role.
Row {
    id: header

    readonly property real avatarSize: 72
    readonly property real ringWidth: 2

    required property ProfileModel model

    spacing: AppTheme.spacingL

    Item {
        id: avatar
        objectName: "profileScreenAvatar"
        width: header.avatarSize
        height: header.avatarSize

        Rectangle {
            anchors.fill: parent
            radius: width / 2
            visible: !photo.ready
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: AppTheme.accent }
                GradientStop { position: 1; color: AppTheme.accentMuted }
            }

            Text {
                anchors.centerIn: parent
                text: header.model.initial
                color: "white"
                font: AppTheme.systemFont(AppTheme.title.pixelSize, Font.Bold)
            }
        }

        CircularImage {
            id: photo
            objectName: "profileScreenPhoto"
            anchors.fill: parent
            size: header.avatarSize
            source: header.model.avatarUrl
        }

        Rectangle {
            anchors.fill: parent
            radius: width / 2
            color: "transparent"
            border.width: header.ringWidth
            border.color: AppTheme.borderStrong
        }
    }

    Column {
        anchors.verticalCenter: parent.verticalCenter
        width: header.width - avatar.width - header.spacing
        spacing: AppTheme.lineSpacing

        Text {
            objectName: "profileUsername"
            width: parent.width
            text: header.model.username
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.title2.pixelSize, Font.Bold)
            elide: Text.ElideRight
        }

        BadgePillsView {
            objectName: "profileBadges"
            width: parent.width
            items: header.model.badges
        }

        Text {
            width: parent.width
            visible: text !== ""
            text: header.model.roleCaption
            textFormat: Text.PlainText
            color: AppTheme.textMuted
            font: AppTheme.caption
            wrapMode: Text.Wrap
        }
    }
}
