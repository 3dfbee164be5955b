import QtQuick

// A soft shadow under a round shape (or a rounded one, by `cornerRadius`):
// three faint rings, each a little wider, moved down by `offsetY`. No
// shader, so it draws on every renderer.
Item {
    id: discShadow

    property real offsetY: 8
    property real strength: 0.14
    property real step: 4
    property real cornerRadius: width / 2
    // How far the innermost ring reaches past the shape.
    readonly property real innerSpread: 2

    Rectangle {
        readonly property real spread: discShadow.innerSpread + 2 * discShadow.step
        x: -spread
        y: discShadow.offsetY - spread
        width: discShadow.width + 2 * spread
        height: discShadow.height + 2 * spread
        radius: discShadow.cornerRadius + spread
        color: Qt.rgba(0, 0, 0, discShadow.strength)
    }

    Rectangle {
        readonly property real spread: discShadow.innerSpread + discShadow.step
        x: -spread
        y: discShadow.offsetY - spread
        width: discShadow.width + 2 * spread
        height: discShadow.height + 2 * spread
        radius: discShadow.cornerRadius + spread
        color: Qt.rgba(0, 0, 0, discShadow.strength)
    }

    Rectangle {
        readonly property real spread: discShadow.innerSpread
        x: -spread
        y: discShadow.offsetY - spread
        width: discShadow.width + 2 * spread
        height: discShadow.height + 2 * spread
        radius: discShadow.cornerRadius + spread
        color: Qt.rgba(0, 0, 0, discShadow.strength)
    }
}
