import QtQuick
import Nimbra

// An image cut to a circle of `size`, scaled to fill it (its middle square
// is kept), loaded asynchronously. `ready` tells whether it shows; callers
// lay their placeholder under it. The circle is cut out of the decoded
// picture (CoverImages, corners of half the side), so it holds on every
// renderer, and the picture comes through the same fetch and disk cache as
// the square covers of the same address: a release's orb and its thumbnail
// download once.
Item {
    id: circle

    property url source
    property real size: 32
    readonly property bool ready: image.status === Image.Ready

    implicitWidth: size
    implicitHeight: size

    Image {
        id: image
        anchors.fill: parent
        readonly property int side: Math.ceil(circle.size * Screen.devicePixelRatio)
        source: CoverImages.source(circle.source, side / 2)
        asynchronous: true
        cache: true
        fillMode: Image.PreserveAspectCrop
        sourceSize: Qt.size(side, side)
        visible: circle.ready
    }
}
