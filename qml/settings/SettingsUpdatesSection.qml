import QtQuick
import Nimbra

// "Обновления": the offered build with its download, or the check with the
// store's status and error lines.
SettingsSection {
    id: section

    required property SettingsModel model

    title: "Обновления"

    InfoRow {
        objectName: "offeredVersion"
        width: parent.width
        visible: section.model.hasOffer
        label: "Доступна версия"
        labelColor: AppTheme.textPrimary
        valueColor: AppTheme.accent
        valueWeight: Font.DemiBold
        value: section.model.offeredVersion
    }

    Text {
        width: parent.width
        visible: section.model.hasOffer && text !== ""
        text: section.model.releaseNotes
        textFormat: Text.PlainText
        color: AppTheme.textSecondary
        font: AppTheme.caption
        wrapMode: Text.Wrap
        maximumLineCount: 4
        elide: Text.ElideRight
    }

    UpdateActionButton {
        objectName: "downloadUpdate"
        visible: section.model.hasOffer
        enabled: !OtaUpdateStore.isDownloading
        busy: OtaUpdateStore.isDownloading
        text: section.model.downloadLabel
        symbol: "arrow.down.circle"
        onClicked: OtaUpdateStore.downloadAndInstall()
    }

    UpdateActionButton {
        objectName: "checkUpdates"
        visible: !section.model.hasOffer
        enabled: !OtaUpdateStore.isChecking
        busy: OtaUpdateStore.isChecking
        text: OtaUpdateStore.isChecking ? "Проверка…" : "Проверить обновления"
        symbol: "arrow.clockwise"
        onClicked: OtaUpdateStore.checkUpdates(false)
    }

    Text {
        objectName: "updateStatus"
        width: parent.width
        visible: !section.model.hasOffer && text !== ""
        text: OtaUpdateStore.statusMessage
        textFormat: Text.PlainText
        color: AppTheme.textSecondary
        font: AppTheme.caption
        wrapMode: Text.Wrap
    }

    // Under the download button too: a failed download or opening is told
    // while the offer stays.
    FailureText {
        objectName: "updateError"
        width: parent.width
        text: OtaUpdateStore.errorText
        font: AppTheme.caption
    }
}
