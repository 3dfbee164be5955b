import QtQuick
import Nimbra

// Today's playlist on the home page: up to four covers behind a shade, the
// label, the date, the count line and a "Слушать" pill. The whole card is
// one button.
Item {
    id: card

    property var coverUrls: []
    property string dateText
    property string countText

    signal clicked()

    readonly property real minimumHeight: 148
    readonly property real cornerRadius: 18

    implicitHeight: Math.max(minimumHeight, content.implicitHeight + 2 * 18)

    CoverCollage {
        anchors.fill: parent
        urls: card.coverUrls
        radius: card.cornerRadius
    }

    Rectangle {
        anchors.fill: parent
        radius: card.cornerRadius
        border.width: 1
        border.color: mouse.containsMouse ? AppTheme.borderStrong : "transparent"
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.88) }
            GradientStop { position: 0.55; color: Qt.rgba(0, 0, 0, 0.5) }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.12) }
        }
    }

    Column {
        id: content
        anchors.left: parent.left
        anchors.leftMargin: AppTheme.spacingXL
        anchors.verticalCenter: parent.verticalCenter
        spacing: 6

        Row {
            spacing: 6

            Rectangle {
                width: 24
                height: 24
                radius: AppTheme.radiusS
                color: AppTheme.alpha(AppTheme.accent, 0.25)

                Text {
                    anchors.centerIn: parent
                    text: "✨"
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize)
                }
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "ПЛЕЙЛИСТ ДНЯ"
                color: AppTheme.accent
                font.pixelSize: AppTheme.caption.pixelSize
                font.weight: Font.ExtraBold
                font.letterSpacing: 1.4
            }
        }

        Text {
            objectName: "dailyDate"
            text: card.dateText
            color: "white"
            font: AppTheme.systemFont(24, Font.Black)
        }

        Text {
            objectName: "dailyCount"
            text: card.countText
            color: Qt.rgba(1, 1, 1, 0.65)
            font: AppTheme.systemFont(AppTheme.callout.pixelSize)
        }

        Item {
            width: 1
            height: 2
        }

        Rectangle {
            width: pill.implicitWidth + 2 * 14
            height: pill.implicitHeight + 2 * 7
            radius: height / 2
            color: AppTheme.accent

            Row {
                id: pill
                anchors.centerIn: parent
                spacing: 5

                AppIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "play.fill"
                    size: AppTheme.symbolSize(AppTheme.systemFont(AppTheme.subheadline.pixelSize))
                    color: "white"
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Слушать"
                    color: "white"
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.Bold)
                }
            }
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: card.clicked()
    }
}
