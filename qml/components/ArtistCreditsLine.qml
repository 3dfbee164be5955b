import QtQuick
import Nimbra

// A credit text as links: every artist the credit names is an
// ArtistNameButton, joined by `separator`. One row that never wraps; when
// it is narrower than the names, the last name that fits is cut short.
//   ArtistCreditsLine { text: model.artist; style: "compact" }
Item {
    id: line

    property string text
    property string style: "primary"
    property string separator: ", "

    readonly property var names: ArtistLinks.names(text)

    // The names' own widths, not the cut ones, so that a line without a
    // width of its own shows every name whole.
    implicitWidth: {
        let total = 0
        for (let i = 0; i < row.children.length; ++i)
            total += row.children[i].naturalWidth || 0
        return total
    }
    implicitHeight: row.implicitHeight
    clip: implicitWidth > width

    Row {
        id: row

        Repeater {
            model: line.names

            delegate: Row {
                id: group
                required property int index
                required property string modelData
                readonly property real naturalWidth: (separatorText.visible ? separatorText.implicitWidth : 0)
                                                     + nameButton.implicitWidth

                Text {
                    id: separatorText
                    visible: group.index > 0
                    text: line.separator
                    textFormat: Text.PlainText
                    color: nameButton.style === "overlay" ? AppTheme.alpha("white", 0.7) : AppTheme.textSecondary
                    font: line.style === "fullscreen" ? AppTheme.title3
                        : line.style === "album" ? AppTheme.caption : AppTheme.subheadline
                }

                ArtistNameButton {
                    id: nameButton
                    objectName: "artistName" + group.index
                    name: group.modelData
                    style: line.style
                    // A line being torn down (its page popped) is gone before its rows.
                    width: !line ? 0 : Math.max(0, Math.min(implicitWidth,
                        line.width - group.x - (separatorText.visible ? separatorText.implicitWidth : 0)))
                }
            }
        }
    }
}
