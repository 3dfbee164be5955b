import QtQuick
import Nimbra

// The heading of a screen or of a block in it: a title, an optional line
// under it, and an optional action at the trailing edge (any item, given as
// `trailing: AccentButton { ... }`).
Item {
    id: header

    property string title
    property string subtitle
    property font titleFont: AppTheme.title
    property Item trailing: null

    implicitWidth: texts.implicitWidth + (trailing ? trailing.implicitWidth + AppTheme.spacingM : 0)
    implicitHeight: Math.max(texts.implicitHeight, trailing ? trailing.implicitHeight : 0)

    onTrailingChanged: {
        if (trailing) {
            trailing.parent = trailingSlot
            trailing.anchors.right = trailingSlot.right
            trailing.anchors.verticalCenter = trailingSlot.verticalCenter
        }
    }

    Column {
        id: texts
        anchors.left: parent.left
        anchors.right: trailingSlot.left
        anchors.rightMargin: header.trailing ? AppTheme.spacingM : 0
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.spacingXXS

        Text {
            objectName: "headerTitle"
            width: parent.width
            text: header.title
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(header.titleFont.pixelSize, Font.Bold)
            elide: Text.ElideRight
        }

        Text {
            objectName: "headerSubtitle"
            width: parent.width
            visible: text !== ""
            text: header.subtitle
            textFormat: Text.PlainText
            color: AppTheme.textSecondary
            font: AppTheme.callout
            elide: Text.ElideRight
        }
    }

    Item {
        id: trailingSlot
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: header.trailing ? header.trailing.width : 0
    }
}
