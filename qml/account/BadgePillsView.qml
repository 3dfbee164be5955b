import QtQuick
import Nimbra

// A user's role badges as small pills that wrap onto further rows (the rows
// are FlowLayout's). items: the list that BadgeBuilder makes (id, name,
// background, foreground). With no items it draws nothing and takes no space.
FlowLayout {
    id: pills

    property var items: []

    spacing: 6

    Repeater {
        model: pills.items

        delegate: Rectangle {
            required property var modelData

            implicitWidth: label.implicitWidth + 16
            implicitHeight: label.implicitHeight + 8
            radius: 5
            color: modelData.background
            border.width: 1
            border.color: Qt.rgba(1, 1, 1, 0.12)

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
