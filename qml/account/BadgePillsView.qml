import QtQuick
import Nimbra

// A user's role badges as small pills that wrap onto further rows. items:
// the list that BadgeBuilder makes (id, name, background, foreground).
Flow {
    id: pills

    property var items: []

    spacing: 6

    Repeater {
        model: pills.items

        delegate: Rectangle {
            required property var modelData

            width: label.implicitWidth + 16
            height: label.implicitHeight + 8
            radius: 5
            color: modelData.background
            border.width: 1
            border.color: Qt.rgba(1, 1, 1, 0.12)

            Text {
                id: label
                anchors.centerIn: parent
                text: modelData.name
                textFormat: Text.PlainText
                color: modelData.foreground
                font: AppTheme.systemFont(10, Font.Bold)
            }
        }
    }
}
