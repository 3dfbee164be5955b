import QtQuick
import Nimbra

// A user's role badges as small pills that wrap onto further rows (the rows
// are FlowLayout's). items: the list that BadgeBuilder makes (id, name,
// background, foreground). With no items it draws nothing and takes no space.
FlowLayout {
    id: pills

    property var items: []

    spacing: AppTheme.symbolGap

    Repeater {
        model: pills.items

        delegate: Rectangle {
            required property var modelData

            readonly property real cornerRadius: 5

            implicitWidth: label.implicitWidth + 2 * AppTheme.spacingS
            implicitHeight: label.implicitHeight + 2 * AppTheme.spacingXS
            radius: cornerRadius
            color: modelData.background
            border.width: 1
            border.color: AppTheme.lightHairline

            Text {
                id: label
                anchors.centerIn: parent
                text: parent.modelData.name
                textFormat: Text.PlainText
                color: parent.modelData.foreground
                font: AppTheme.systemFont(AppTheme.caption.pixelSize, Font.Bold)
            }
        }
    }
}
