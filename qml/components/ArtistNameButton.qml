import QtQuick
import QtQuick.Controls
import Nimbra

// One artist name that opens the artist's page (closing the fullscreen
// player first). A click on text, not a button: no pressed look, no focus,
// only an underline while the pointer is over it. `style` is one of
// "primary", "fullscreen", "compact", "overlay", "album".
Text {
    id: button

    property string name
    property string style: "primary"

    readonly property bool hovered: mouse.containsMouse
    // Over a cover or video the name is white, a little see-through.
    readonly property color overlayColor: AppTheme.alpha("white", 0.88)
    readonly property color overlayUnderline: AppTheme.alpha("white", 0.75)
    readonly property color linkUnderline: AppTheme.alpha(AppTheme.accent, 0.85)

    text: name
    textFormat: Text.PlainText
    elide: Text.ElideRight
    maximumLineCount: style === "fullscreen" ? 2 : 1
    wrapMode: style === "fullscreen" ? Text.Wrap : Text.NoWrap
    horizontalAlignment: style === "fullscreen" ? Text.AlignHCenter : Text.AlignLeft
    font: style === "fullscreen" ? AppTheme.systemFont(AppTheme.title3.pixelSize, Font.Medium)
        : style === "album" ? AppTheme.caption : AppTheme.subheadline
    color: style === "compact" ? AppTheme.textSecondary
         : style === "overlay" ? overlayColor : AppTheme.accent

    Rectangle {
        objectName: "artistUnderline"
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        width: Math.min(parent.width, parent.contentWidth)
        height: 1
        visible: button.hovered
        color: button.style === "overlay" ? button.overlayUnderline
             : button.style === "fullscreen" ? AppTheme.accent : button.linkUnderline
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        onClicked: ArtistLinks.open(button.name)

        ToolTipGate {
            id: tip
            hovered: mouse.containsMouse
            pressed: mouse.pressed
        }
        ToolTip.visible: tip.shown
        ToolTip.delay: AppTheme.toolTipDelay
        ToolTip.text: "Открыть карточку исполнителя"
    }
}
