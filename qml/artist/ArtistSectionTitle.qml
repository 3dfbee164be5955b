import QtQuick
import Nimbra

// The title of a block of the artist page, its count beside it on the same
// baseline ("Все треки 24", "Дискография 3 альбомов").
Row {
    id: sectionTitle

    property string title
    property string subtitle

    spacing: AppTheme.spacingS

    Text {
        id: titleText
        objectName: "headerTitle"
        text: sectionTitle.title
        textFormat: Text.PlainText
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.title3.pixelSize, Font.Bold)
    }

    Text {
        objectName: "headerSubtitle"
        anchors.baseline: titleText.baseline
        visible: text !== ""
        text: sectionTitle.subtitle
        textFormat: Text.PlainText
        color: AppTheme.textSecondary
        font: AppTheme.caption
    }
}
