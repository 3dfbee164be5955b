import QtQuick
import QtQuick.Controls
import Nimbra

// One clip of the clips and battles grids: the poster with a play symbol
// and the title form one button ("Смотреть"); the artist line sits below it.
Rectangle {
    id: card

    property string title
    property string artist
    property url coverUrl

    signal play()

    readonly property real coverSize: AppTheme.gridCoverSize
    readonly property real playSymbolSize: 48
    readonly property real haloSize: 56
    readonly property color haloColor: AppTheme.alpha("black", 0.45)
    readonly property color playSymbolColor: AppTheme.alpha("white", 0.92)

    implicitHeight: content.implicitHeight + 2 * AppTheme.spacingM
    radius: AppTheme.radiusXL
    color: AppTheme.surface
    border.width: 1
    border.color: AppTheme.border

    Column {
        id: content
        anchors.fill: parent
        anchors.margins: AppTheme.spacingM
        spacing: AppTheme.spacingS

        Item {
            id: button
            objectName: "clipCardButton"
            width: parent.width
            height: cover.height + AppTheme.spacingS + titleText.height

            Artwork {
                id: cover
                objectName: "clipCover"
                anchors.horizontalCenter: parent.horizontalCenter
                size: card.coverSize
                radius: AppTheme.radiusM
                source: card.coverUrl
            }

            // The play symbol with a soft dark halo under it; a halo of two
            // symbols draws on every renderer, shaders or not.
            Item {
                anchors.centerIn: cover
                width: card.playSymbolSize
                height: card.playSymbolSize

                AppIcon {
                    anchors.centerIn: parent
                    name: "play.circle.fill"
                    size: card.haloSize
                    color: card.haloColor
                }

                AppIcon {
                    objectName: "clipPlaySymbol"
                    anchors.centerIn: parent
                    name: "play.circle.fill"
                    size: card.playSymbolSize
                    color: card.playSymbolColor
                }
            }

            Text {
                id: titleText
                objectName: "clipCardTitle"
                anchors.top: cover.bottom
                anchors.topMargin: AppTheme.spacingS
                width: parent.width
                text: card.title
                textFormat: Text.PlainText
                color: AppTheme.textPrimary
                font: AppTheme.headline
                maximumLineCount: 2
                wrapMode: Text.Wrap
                elide: Text.ElideRight
            }

            MouseArea {
                id: mouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: card.play()
            }

            ToolTipGate {
                id: tip
                hovered: mouse.containsMouse
                pressed: mouse.pressed
            }
            ToolTip.visible: tip.shown
            ToolTip.delay: AppTheme.toolTipDelay
            ToolTip.text: "Смотреть"
        }

        ArtistCreditsLine {
            objectName: "clipCardArtist"
            width: parent.width
            text: card.artist
            style: "compact"
        }
    }
}
