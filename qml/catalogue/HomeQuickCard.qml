import QtQuick
import Nimbra

// A quick card of the home page: a tinted tile with an emoji, the title with
// a "›", and a line of counts. The whole rounded card is one button, kept
// out of the keyboard's way.
Item {
    id: card

    property string emoji
    property color tint
    property string title
    property string subtitle

    signal clicked()

    readonly property real tileSize: 52
    readonly property real tileRadius: 15
    readonly property real cornerRadius: 22
    readonly property color fillTop: Qt.rgba(0x1c / 255, 0x1a / 255, 0x34 / 255, 0.92)
    readonly property color fillBottom: Qt.rgba(0x0e / 255, 0x0d / 255, 0x1a / 255, 0.94)
    readonly property real titleSize: 16
    // Between the title and the counts.
    readonly property real textGap: 5

    implicitHeight: row.implicitHeight + 2 * AppTheme.spacingL

    Rectangle {
        anchors.fill: parent
        radius: card.cornerRadius
        border.width: 1
        border.color: mouse.containsMouse ? AppTheme.borderStrong : AppTheme.border
        gradient: Gradient {
            GradientStop { position: 0; color: card.fillTop }
            GradientStop { position: 1; color: card.fillBottom }
        }
    }

    Row {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: AppTheme.spacingL
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.cardPadding

        Rectangle {
            width: card.tileSize
            height: card.tileSize
            radius: card.tileRadius
            color: card.tint

            Text {
                anchors.centerIn: parent
                text: card.emoji
                color: AppTheme.textPrimary
                font: AppTheme.title
            }
        }

        Column {
            width: row.width - card.tileSize - row.spacing
            anchors.verticalCenter: parent.verticalCenter
            spacing: card.textGap

            Item {
                width: parent.width
                height: titleText.implicitHeight

                Text {
                    id: titleText
                    anchors.left: parent.left
                    anchors.right: chevron.left
                    anchors.rightMargin: AppTheme.spacingS
                    text: card.title
                    elide: Text.ElideRight
                    color: AppTheme.textPrimary
                    font: AppTheme.systemFont(card.titleSize, Font.ExtraBold)
                }

                Text {
                    id: chevron
                    anchors.right: parent.right
                    anchors.verticalCenter: titleText.verticalCenter
                    text: "›"
                    color: AppTheme.textMuted
                    font: AppTheme.title2
                }
            }

            Text {
                objectName: "quickCardSubtitle"
                width: parent.width
                text: card.subtitle
                color: AppTheme.textSecondary
                font: AppTheme.callout
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
        }
    }

    // The whole rounded card takes the click, its empty space included.
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: card.clicked()
    }
}
