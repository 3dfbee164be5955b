import QtQuick
import Nimbra

// A label at the leading edge and its value at the trailing one; a long
// value wraps, its lines aligned to the trailing edge.
Item {
    id: row

    property string label
    property string value
    property color labelColor: AppTheme.textMuted
    property color valueColor: AppTheme.textPrimary
    property int valueWeight: Font.Normal
    property font font: AppTheme.body

    implicitHeight: Math.max(labelText.implicitHeight, valueText.implicitHeight) + 2 * AppTheme.spacingXS

    Text {
        id: labelText
        y: AppTheme.spacingXS
        text: row.label
        color: row.labelColor
        font: row.font
    }

    Text {
        id: valueText
        objectName: "infoValue"
        y: AppTheme.spacingXS
        anchors.right: parent.right
        width: row.width - labelText.implicitWidth - AppTheme.spacingL
        horizontalAlignment: Text.AlignRight
        text: row.value
        textFormat: Text.PlainText
        color: row.valueColor
        font.pixelSize: row.font.pixelSize
        font.weight: row.valueWeight
        wrapMode: Text.Wrap
    }
}
