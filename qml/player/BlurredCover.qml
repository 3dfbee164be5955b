import QtQuick
import Nimbra

// A cover spread over the whole area, blurred and darkened, behind a
// player. The blur is the cover decoded at a few pixels and stretched
// smoothly, which every renderer draws cheaply; while it loads, when it
// fails and without a cover nothing is drawn.
Item {
    id: cover

    property url source
    // Opacity of the black laid over the image.
    property real shade: 0.6
    // The few pixels the cover is decoded at.
    readonly property int decodedSize: 16

    visible: image.status === Image.Ready

    Image {
        id: image
        anchors.fill: parent
        source: cover.source
        asynchronous: true
        fillMode: Image.PreserveAspectCrop
        sourceSize: Qt.size(cover.decodedSize, cover.decodedSize)
        smooth: true
    }

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, cover.shade)
    }
}
