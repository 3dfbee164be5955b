import QtQuick
import Qt5Compat.GraphicalEffects
import Nimbra

// A layer's content cut to a rounded rectangle of its own size, with the
// layered item's `cornerRadius`, for renderers with shaders. A file of its own, created by URL only where it is
// used, so the effects module (and the shader compiler under it) is never
// loaded on the software renderer.
OpacityMask {
    id: mask

    // The layer hands its effect a texture (a ShaderEffectSource) of the
    // layered item.
    readonly property var layered: source && source.sourceItem ? source.sourceItem : null
    property real radius: layered && layered.cornerRadius !== undefined ? layered.cornerRadius : AppTheme.cardRadius

    maskSource: Rectangle {
        width: mask.width
        height: mask.height
        radius: mask.radius
        visible: false
    }
}
