import QtQuick
import Nimbra

// The "Баттлы" section.
ClipGridScreen {
    objectName: "battlesView"
    source: ClipGridModel.Battles
}
