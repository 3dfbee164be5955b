import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window
    width: 1100
    height: 720
    minimumWidth: 900
    minimumHeight: 600
    visible: true
    title: "Nimbra"
    color: "#0B0B10"
    palette.window: "#0B0B10"
    palette.windowText: "#F2F2F7"
    palette.base: "#16161E"
    palette.text: "#F2F2F7"
    palette.button: "#1E1E28"
    palette.buttonText: "#F2F2F7"
    palette.highlight: "#8B5CF6"

    Column {
        anchors.centerIn: parent
        spacing: 12
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Nimbra"
            color: "#F2F2F7"
            font.pixelSize: 40
            font.weight: Font.DemiBold
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Музыкальный сервис"
            color: "#9A9AB0"
            font.pixelSize: 16
        }
    }
}
