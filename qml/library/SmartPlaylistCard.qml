import QtQuick
import QtQuick.Templates as T
import Nimbra

// The tile of one smart playlist on the playlists screen: its emoji on a
// faint tile of the kind's colour, its title and subtitle, on an elevated
// card outlined in that colour.
T.AbstractButton {
    id: card

    required property string kind
    required property string emoji
    required property string title
    required property string subtitle

    readonly property color cardColor: kind === "favorites" ? AppTheme.systemRed
                                     : kind === "offline" ? AppTheme.systemBlue : AppTheme.accent
    readonly property color hoveredFill: Qt.lighter(AppTheme.elevated, 1.15)
    readonly property color edge: AppTheme.alpha(cardColor, 0.22)
    readonly property color emblemFill: AppTheme.alpha(cardColor, 0.15)
    readonly property real emojiSize: 28
    // Between the title and the line under it.
    readonly property real textGap: 3

    implicitHeight: content.implicitHeight + 2 * padding
    padding: AppTheme.cardPadding
    hoverEnabled: true

    background: Rectangle {
        radius: AppTheme.radiusXXL
        color: card.hovered ? card.hoveredFill : AppTheme.elevated
        border.width: 1
        border.color: card.edge
    }

    Column {
        id: content
        x: card.padding
        y: card.padding
        width: card.width - 2 * card.padding
        spacing: AppTheme.spacingS

        Rectangle {
            width: AppTheme.emblemSize
            height: AppTheme.emblemSize
            radius: AppTheme.radiusL
            color: card.emblemFill

            Text {
                objectName: "smartCardEmoji"
                anchors.centerIn: parent
                text: card.emoji
                font.family: AppTheme.emojiFamily
                font.pixelSize: card.emojiSize
            }
        }

        Column {
            width: parent.width
            spacing: card.textGap

            Text {
                objectName: "smartCardTitle"
                width: parent.width
                text: card.title
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.Bold)
                elide: Text.ElideRight
                maximumLineCount: 1
            }
            Text {
                width: parent.width
                text: card.subtitle
                color: AppTheme.textSecondary
                font: AppTheme.caption
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
        }
    }
}
