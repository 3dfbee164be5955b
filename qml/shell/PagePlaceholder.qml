import QtQuick
import Nimbra

// Stands for a pushed page (album, playlist, smart playlist) until its screen
// exists: the back bar and what was asked for.
Rectangle {
    id: page
    objectName: "pushedPage"

    property string title
    property string argument

    color: AppTheme.background

    // Clicks stay on the page instead of reaching the page below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    BackBar {
        id: bar
        anchors.left: parent.left
        anchors.right: parent.right
        title: page.title
    }

    Text {
        anchors.centerIn: parent
        text: page.argument
        textFormat: Text.PlainText
        color: AppTheme.textMuted
        font: AppTheme.body
    }
}
