import QtQuick
import Nimbra

// One icon, named by its symbol name ("play.fill", "heart"), drawn from the
// icon font in a square box of `size` pixels. A name missing from IconMap, or
// a missing font, draws nothing and says nothing.
//
// Symbol names in QML are checked by tst_iconmap, which finds them by one
// rule: a symbol name is a string literal in the value of a binding to a
// property named `systemImage`, `symbol` or `icon`, or whose name ends in
// `Symbol` or `Icon` (`emptySymbol`, `leadingIcon`), or to `name` directly
// inside an `AppIcon { }` block. A value runs to the end of its line or to a
// `;` or `,` outside brackets; comments are skipped. So write every symbol
// name as a literal in such a value (a choice is fine:
// `name: playing ? "pause.fill" : "play.fill"`), never built from pieces or
// under another property name. Names that come from C++ (a model's role) are
// out of the scan's sight: the model's own test checks them with
// IconMap::glyph.
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
