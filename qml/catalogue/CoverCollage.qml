pragma ComponentBehavior: Bound

import QtQuick
import Nimbra

// A row of cover slots sharing the width, cut to one rounded rectangle:
// slot i shows urls[i] scaled to fill it once loaded, the raised colour
// before that, on failure and without a url. Each slot's picture comes from
// CoverImages at the slot's size with only the row's outer corners cut out,
// so the corners hold on every renderer, one download serves the collage
// and any other cover of the same address, and no picture larger than its
// slot stays in memory.
Item {
    id: collage

    property var urls: []
    property int slots: 4
    property real radius: 18
    property real gap: 2

    readonly property real slotWidth: (width - gap * (slots - 1)) / slots

    Row {
        spacing: collage.gap

        Repeater {
            model: collage.slots

            delegate: Item {
                id: slot

                required property int index
                readonly property bool first: slot.index === 0
                readonly property bool last: slot.index === collage.slots - 1
                readonly property string url: slot.index < collage.urls.length ? collage.urls[slot.index] : ""
                readonly property int corners: (slot.first ? CoverImages.TopLeft | CoverImages.BottomLeft : 0)
                                               | (slot.last ? CoverImages.TopRight | CoverImages.BottomRight : 0)

                width: collage.slotWidth
                height: collage.height
                // The raised colour's rounded rectangle reaches past the
                // slot's inner sides, which stay square.
                clip: !(slot.first && slot.last)

                Rectangle {
                    x: slot.first ? 0 : -collage.radius
                    width: parent.width + (slot.first ? 0 : collage.radius) + (slot.last ? 0 : collage.radius)
                    height: parent.height
                    radius: slot.first || slot.last ? collage.radius : 0
                    color: AppTheme.elevated
                }

                Image {
                    anchors.fill: parent
                    asynchronous: true
                    cache: true
                    sourceSize: Qt.size(Math.ceil(width * Screen.devicePixelRatio),
                                        Math.ceil(height * Screen.devicePixelRatio))
                    source: slot.url === "" || width <= 0 || height <= 0 ? ""
                        : CoverImages.source(slot.url, collage.radius * Screen.devicePixelRatio, slot.corners)
                }
            }
        }
    }
}
