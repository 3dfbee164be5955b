import QtQuick
import Nimbra

// A soft shadow under a round shape (or a rounded one, by `cornerRadius`):
// three faint rings, each a little wider, moved down by `offsetY`. One
// picture from ShapeImages, shared by every shadow of the same size, so a
// row of release cards holds one; no shader, so it draws on every renderer.
Item {
    id: discShadow

    property real offsetY: 8
    property real strength: 0.14
    property real step: 4
    property real cornerRadius: width / 2
    // How far the innermost ring reaches past the shape.
    readonly property real innerSpread: 2

    readonly property real widestSpread: innerSpread + 2 * step

    Image {
        x: -discShadow.widestSpread
        y: discShadow.offsetY - discShadow.widestSpread
        width: discShadow.width + 2 * discShadow.widestSpread
        height: discShadow.height + 2 * discShadow.widestSpread
        cache: true
        source: ShapeImages.discShadow(Qt.size(discShadow.width, discShadow.height), discShadow.cornerRadius,
                                       Qt.rgba(0, 0, 0, discShadow.strength), discShadow.step,
                                       Screen.devicePixelRatio)
    }
}
