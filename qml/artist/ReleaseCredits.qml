import QtQuick
import Nimbra

// The latest release's credit as one link to the artist page it names.
Text {
    id: credits

    property string raw

    text: raw
    textFormat: Text.PlainText
    color: mouse.containsMouse ? AppTheme.accentLight : AppTheme.accent
    font: AppTheme.callout
    elide: Text.ElideRight

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: Navigation.openArtist(credits.raw)
    }
}
