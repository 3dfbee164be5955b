import QtQuick
import Nimbra

// The shared card: the surface colour behind its content, corners rounded to
// AppTheme.cardRadius, content clipped to that shape. It adds no padding,
// border or shadow; content that wants a margin brings its own (anchors with
// margins, a layout's margins).
//
// Like a Pane, a card with a single child takes that child's implicit size;
// content that fills the card (anchors.fill: parent) gives it none, and the
// card is then sized by its parent or layout.
Item {
    id: card

    default property alias content: body.data

    // The radius the layer's mask cuts to.
    readonly property real cornerRadius: AppTheme.cardRadius
    readonly property Item contentChild: body.children.length === 1 ? body.children[0] : null

    implicitWidth: contentChild ? contentChild.implicitWidth : 0
    implicitHeight: contentChild ? contentChild.implicitHeight : 0

    Rectangle {
        anchors.fill: parent
        color: AppTheme.surface
        radius: AppTheme.cardRadius
    }

    Item {
        id: body
        anchors.fill: parent
    }

    // Content that reaches the edges (a cover at the top of a card) is cut to
    // the rounded shape as well, not only the fill behind it. The software
    // renderer has no shader effects: there the fill alone is rounded.
    layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software && GraphicsInfo.api !== GraphicsInfo.Unknown
                   && card.width > 0 && card.height > 0
    // Kept by OnDemand: the layer holds its component by a plain pointer.
    layer.effect: layer.enabled ? OnDemand.component(Qt.resolvedUrl("RoundedMask.qml")) : null
}
