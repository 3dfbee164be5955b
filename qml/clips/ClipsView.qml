import QtQuick
import Nimbra

// The "Клипы" section.
ClipGridScreen {
    objectName: "clipsView"
    source: ClipGridModel.Clips
}
