import QtQuick
import Nimbra

// One icon, named by its symbol name ("play.fill", "heart"), drawn from the
// icon font in a square box of `size` pixels. A name missing from IconMap, or
// a missing font, draws nothing and says nothing.
//
// Symbol names in QML are checked by tst_iconmap, which finds them by one
// rule: every string literal on the line of a binding to a property named
// `systemImage`, `symbol` or `icon`, or ending in `Symbol` or `Icon`
// (`emptySymbol`, `leadingIcon`), and of a `name` binding directly inside an
// `AppIcon { }` block. So write a symbol name as a literal on such a line
// (a conditional choice is fine: `name: playing ? "pause.fill" : "play.fill"`),
// never built from pieces and never under another property name.
Item {
    id: root

    property string name
    property real size: 16
    property color color: AppTheme.textPrimary

    implicitWidth: size
    implicitHeight: size

    Text {
        anchors.centerIn: parent
        width: root.size
        height: root.size
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        text: AppTheme.iconFontFamily !== "" ? IconMap.glyph(root.name) : ""
        color: root.color
        font.family: AppTheme.iconFontFamily
        font.pixelSize: root.size
        textFormat: Text.PlainText
    }
}
