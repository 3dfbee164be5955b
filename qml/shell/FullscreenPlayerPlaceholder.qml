import QtQuick
import QtQuick.Templates as T
import Nimbra

// Stands for the fullscreen player over the detail column: the current
// track large, and "Свернуть" to close it.
Rectangle {
    id: player
    objectName: "fullscreenPlayer"


    color: AppTheme.background

    // Clicks stay here instead of reaching the dimmed screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    T.AbstractButton {
        id: collapse
        objectName: "collapseButton"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 16
        implicitWidth: collapseRow.implicitWidth + 24
        implicitHeight: 30
        focusPolicy: Qt.NoFocus
        hoverEnabled: true
        onClicked: PlayerStore.dismissFullscreen()

        background: Rectangle {
            radius: height / 2
            color: collapse.hovered ? Qt.lighter(AppTheme.elevated, 1.3) : AppTheme.elevated
        }

        contentItem: Item {
            Row {
                id: collapseRow
                anchors.centerIn: parent
                spacing: 6

                AppIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "chevron.down"
                    size: AppTheme.symbolSize(AppTheme.body)
                    color: AppTheme.textPrimary
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Свернуть"
                    color: AppTheme.textPrimary
                    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                }
            }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 10

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(player.width, player.height) * 0.42
            height: width
            radius: 18
            color: AppTheme.elevated
            border.width: 1
            border.color: AppTheme.border

            AppIcon {
                anchors.centerIn: parent
                name: "music.note"
                size: parent.width * 0.35
                color: AppTheme.textMuted
            }
        }

        Item {
            width: 1
            height: 8
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, player.width - 48)
            horizontalAlignment: Text.AlignHCenter
            text: PlayerStore.currentTitle
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.title.pixelSize, Font.Bold)
            elide: Text.ElideRight
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, player.width - 48)
            horizontalAlignment: Text.AlignHCenter
            text: PlayerStore.currentArtist
            textFormat: Text.PlainText
            color: AppTheme.textSecondary
            font: AppTheme.title3
            elide: Text.ElideRight
        }
    }
}
