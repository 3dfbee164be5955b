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
    // The most room the line is ever given; none when negative.
    property real widest: -1

    readonly property var names: ArtistLinks.names(text)
    // Each name, and what the line lays out of it: no more than the widest
    // line shows (RowLines.fit), all of it without one. A name opens its
    // whole self. A new list makes the names anew, so the list changes with
    // the room only where a name is cut, and the room is taken in steps of
    // 128 pixels, up, not at every pixel of a window being resized.
    readonly property real fitWidth: widest < 0 ? -1 : Math.max(128, Math.ceil(widest / 128) * 128)
    readonly property var wholeNames: names.map(name => ({ name: name, shown: name }))
    readonly property bool cutsNames: fitWidth >= 0
        && names.some(name => RowLines.fit(name, fitWidth, separatorFont.pixelSize) !== name)
    readonly property var entries: !cutsNames ? wholeNames : names.map(name => ({
        name: name,
        shown: RowLines.fit(name, fitWidth, separatorFont.pixelSize)
    }))

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

    readonly property font separatorFont: style === "fullscreen" ? AppTheme.title3
                                        : style === "album" ? AppTheme.caption : AppTheme.subheadline

    // Text metrics, not the texts' implicit widths: an implicit width takes
    // in the overhang of the last glyph, which would open a gap before the
    // comma. Laid out by advance, the one space between two names is the
    // one after the comma.
    Row {
        id: row

        Repeater {
            model: line.entries

            delegate: Item {
                id: group
                required property int index
                // {name, shown}
                required property var modelData
                readonly property real separatorAdvance: index > 0 ? separatorMetrics.advanceWidth : 0
                // Read once: every read of a metric lays the text out again.
                readonly property real nameAdvance: nameMetrics.advanceWidth
                readonly property real naturalWidth: separatorAdvance + nameAdvance

                width: naturalWidth
                height: Math.max(separatorText.implicitHeight, nameButton.implicitHeight)

                TextMetrics {
                    id: separatorMetrics
                    font: separatorText.font
                    text: separatorText.text
                }

                TextMetrics {
                    id: nameMetrics
                    font: nameButton.font
                    text: group.modelData.shown
                }

                Text {
                    id: separatorText

                    readonly property color overlayColor: AppTheme.alpha("white", 0.7)

                    anchors.verticalCenter: parent.verticalCenter
                    visible: group.index > 0
                    text: line.separator
                    textFormat: Text.PlainText
                    color: nameButton.style === "overlay" ? overlayColor : AppTheme.textSecondary
                    font: line.separatorFont
                }

                ArtistNameButton {
                    id: nameButton
                    objectName: "artistName" + group.index
                    x: group.separatorAdvance
                    anchors.verticalCenter: parent.verticalCenter
                    name: group.modelData.name
                    text: group.modelData.shown
                    style: line.style
                    // Whole while its advance fits; cut short (elided) only
                    // when the line is narrower than that. A line being torn
                    // down (its page popped) is gone before its rows.
                    readonly property real room: !line ? 0 : line.width - group.x - group.separatorAdvance
                    width: room >= group.nameAdvance ? implicitWidth : Math.max(0, room)
                }
            }
        }
    }
}
