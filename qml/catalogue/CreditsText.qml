import QtQuick
import Nimbra

// An artist credit as plain text, in the look of the clickable credits line
// of the same `style` ("primary", "compact", "overlay", "album"): the
// screens that show credits use it in that line's place, with its
// properties, until names become links.
Text {
    id: credits

    property string raw
    property string style: "primary"
    property string separator: ", "

    text: raw.trim() === "" ? "Неизвестно" : raw
    textFormat: Text.PlainText
    elide: Text.ElideRight
    maximumLineCount: 1
    wrapMode: maximumLineCount > 1 ? Text.Wrap : Text.NoWrap
    font: style === "album" ? AppTheme.caption : AppTheme.subheadline
    color: style === "overlay" ? Qt.rgba(1, 1, 1, 0.88)
         : style === "compact" ? AppTheme.textSecondary
         : AppTheme.accent
}
