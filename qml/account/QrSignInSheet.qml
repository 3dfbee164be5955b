import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbra

// The QR sign-in sheet: a modal panel over the window that shows the code of
// the sign-in link for a device that is already signed in, while the store
// waits for the scan. Its faces and buttons follow QrSheetModel: creating,
// showing the code, or a failure with a retry. "Отмена" (or Escape) stops the
// sign-in and closes it; it also closes once an account is signed in.
Popup {
    id: sheet

    readonly property real sheetWidth: 380
    readonly property real sheetHeight: 470
    readonly property real headerHeight: 52
    // The code on its white card, and the faint pattern drawn before it.
    readonly property real codeCardSize: 220
    readonly property color codePlaceholder: Qt.rgba(AppTheme.textSecondary.r, AppTheme.textSecondary.g,
                                                     AppTheme.textSecondary.b, 0.3)
    readonly property real waitingLineHeight: 16
    readonly property real failureSymbolSize: 52
    readonly property real creatingSpinnerLine: 3

    readonly property alias model: qr

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: sheetWidth
    height: sheetHeight
    padding: 0
    modal: true
    dim: true
    focus: true
    closePolicy: Popup.NoAutoClose

    QrSheetModel {
        id: qr
        onCloseRequested: sheet.close()
    }

    onAboutToShow: qr.start()

    Overlay.modal: Rectangle {
        readonly property color veil: AppTheme.alpha("black", 0.5)

        color: veil
    }

    background: Rectangle {
        color: AppTheme.surface
        radius: AppTheme.radiusXL
        border.width: 1
        border.color: AppTheme.borderStrong
    }

    contentItem: Item {
        focus: true
        Keys.onEscapePressed: qr.cancel()

        Item {
            id: header
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            height: sheet.headerHeight

            LinkButton {
                objectName: "cancelButton"
                anchors.left: parent.left
                anchors.leftMargin: AppTheme.spacingL
                anchors.verticalCenter: parent.verticalCenter
                text: "Отмена"
                color: AppTheme.accent
                onClicked: qr.cancel()
            }

            Text {
                anchors.centerIn: parent
                text: "Войти по QR"
                font: AppTheme.systemFont(AppTheme.title3.pixelSize, Font.DemiBold)
                color: AppTheme.textPrimary
            }

            Rectangle {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                height: 1
                color: AppTheme.border
            }
        }

        Item {
            anchors.top: header.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: AppTheme.sheetMargin

            // The code, while a QR token is held.
            ColumnLayout {
                objectName: "showingFace"
                anchors.centerIn: parent
                width: parent.width
                spacing: AppTheme.spacingL
                visible: qr.phase === QrSheetModel.Showing

                Text {
                    Layout.fillWidth: true
                    text: "Отсканируйте код на устройстве, где вы уже авторизованы"
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    font: AppTheme.systemFont(AppTheme.body.pixelSize)
                    lineHeight: AppTheme.paragraphLineHeight
                    color: AppTheme.textSecondary
                }

                Rectangle {
                    Layout.alignment: Qt.AlignHCenter
                    implicitWidth: sheet.codeCardSize
                    implicitHeight: sheet.codeCardSize
                    radius: AppTheme.radiusXXL
                    color: "white"

                    QrCodeView {
                        objectName: "qrCode"
                        anchors.fill: parent
                        anchors.margins: AppTheme.spacingL
                        content: qr.qrLink
                        placeholderColor: sheet.codePlaceholder
                    }
                }

                Row {
                    Layout.alignment: Qt.AlignHCenter
                    Layout.preferredHeight: sheet.waitingLineHeight
                    spacing: AppTheme.spacingS
                    opacity: qr.isWaiting ? 1 : 0

                    ProgressSpinner {
                        objectName: "waitingSpinner"
                        anchors.verticalCenter: parent.verticalCenter
                        size: AppTheme.smallSpinnerSize
                        running: qr.isWaiting
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Ожидание сканирования…"
                        font: AppTheme.callout
                        color: AppTheme.textSecondary
                    }
                }
            }

            // A failure or an expired code.
            ColumnLayout {
                objectName: "failedFace"
                anchors.centerIn: parent
                width: parent.width
                spacing: AppTheme.spacingL
                visible: qr.phase === QrSheetModel.Failed

                AppIcon {
                    Layout.alignment: Qt.AlignHCenter
                    name: "qrcode.viewfinder"
                    size: AppTheme.symbolSize(AppTheme.systemFont(sheet.failureSymbolSize))
                    color: AppTheme.textSecondary
                }
                FailureText {
                    objectName: "qrErrorText"
                    Layout.fillWidth: true
                    text: qr.errorText
                    horizontalAlignment: Text.AlignHCenter
                    font: AppTheme.systemFont(AppTheme.body.pixelSize)
                }
                AccentButton {
                    objectName: "retryButton"
                    Layout.alignment: Qt.AlignHCenter
                    Layout.topMargin: AppTheme.spacingXS
                    text: "Попробовать снова"
                    onClicked: qr.retry()
                }
            }

            // Asking for a code, or signing in after a scan.
            ColumnLayout {
                objectName: "creatingFace"
                anchors.centerIn: parent
                spacing: AppTheme.spacingM
                visible: qr.phase === QrSheetModel.Creating

                ProgressSpinner {
                    objectName: "creatingSpinner"
                    Layout.alignment: Qt.AlignHCenter
                    size: AppTheme.spinnerSize
                    lineWidth: sheet.creatingSpinnerLine
                    running: qr.phase === QrSheetModel.Creating
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: "Создание QR-кода…"
                    font: AppTheme.systemFont(AppTheme.body.pixelSize)
                    color: AppTheme.textSecondary
                }
            }
        }
    }
}
