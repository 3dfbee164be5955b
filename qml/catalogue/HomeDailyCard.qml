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
    // The shade over the covers, dark behind the texts and light at the
    // far end.
    readonly property color shadeStart: AppTheme.alpha("black", 0.88)
    readonly property color shadeMiddle: AppTheme.alpha("black", 0.5)
    readonly property real shadeMiddleAt: 0.55
    readonly property color shadeEnd: AppTheme.alpha("black", 0.12)
    // The label "ПЛЕЙЛИСТ ДНЯ" with its sparkle on a tinted tile.
    readonly property real sparkleTileSize: 24
    readonly property color sparkleTileFill: AppTheme.alpha(AppTheme.accent, 0.25)
    readonly property real labelTracking: 1.4
    readonly property real dateSize: 24
    readonly property color countColor: AppTheme.alpha("white", 0.65)
    // The "Слушать" pill.
    readonly property real pillPaddingX: 14
    readonly property real pillPaddingY: 7
    readonly property real pillSymbolGap: 5

    implicitHeight: Math.max(minimumHeight, content.implicitHeight + 2 * AppTheme.wideCardPadding)

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
            GradientStop { position: 0; color: card.shadeStart }
            GradientStop { position: card.shadeMiddleAt; color: card.shadeMiddle }
            GradientStop { position: 1; color: card.shadeEnd }
        }
    }

    Column {
        id: content
        anchors.left: parent.left
        anchors.leftMargin: AppTheme.spacingXL
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.lineSpacing

        Row {
            spacing: AppTheme.symbolGap

            Rectangle {
                width: card.sparkleTileSize
                height: card.sparkleTileSize
                radius: AppTheme.radiusS
                color: card.sparkleTileFill

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
                font.letterSpacing: card.labelTracking
            }
        }

        Text {
            objectName: "dailyDate"
            text: card.dateText
            color: "white"
            font: AppTheme.systemFont(card.dateSize, Font.Black)
        }

        Text {
            objectName: "dailyCount"
            text: card.countText
            color: card.countColor
            font: AppTheme.systemFont(AppTheme.callout.pixelSize)
        }

        Item {
            width: 1
            height: AppTheme.spacingXXS
        }

        Rectangle {
            width: pill.implicitWidth + 2 * card.pillPaddingX
            height: pill.implicitHeight + 2 * card.pillPaddingY
            radius: height / 2
            color: AppTheme.accent

            Row {
                id: pill
                anchors.centerIn: parent
                spacing: card.pillSymbolGap

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
