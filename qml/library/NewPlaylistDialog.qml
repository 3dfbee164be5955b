import QtQuick
import QtQuick.Controls
import Nimbra

// The "Новый плейлист" prompt over a playlists model (the playlists screen's
// or the add-to-playlist sheet's). "Создать" is enabled once the title holds
// more than blanks; the prompt stays open until the create has succeeded, and
// a failure shows the store's text under the title the listener typed, ready
// to be sent again. `openEmpty()` starts with an empty field.
Popup {
    id: dialog
    objectName: "newPlaylistDialog"

    // A PlaylistsModel or an AddToPlaylistModel.
    property var rows: null

    function openEmpty() {
        titleField.text = ""
        if (rows)
            rows.clearCreateError()
        open()
        titleField.forceActiveFocus()
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(AppTheme.alertWidth, parent ? parent.width - 2 * AppTheme.spacingXL : AppTheme.alertWidth)
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: AppTheme.spacingXL

    // Closes once a create from it has succeeded.
    readonly property int createdCount: rows ? rows.createdCount : 0
    onCreatedCountChanged: close()

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.surface
        border.color: AppTheme.borderStrong
    }

    Overlay.modal: Rectangle {
        color: AppTheme.modalVeil
    }

    Column {
        width: dialog.availableWidth
        spacing: AppTheme.spacingM

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "Новый плейлист"
            color: AppTheme.textPrimary
            font: AppTheme.headline
        }

        FormTextField {
            id: titleField
            objectName: "newPlaylistTitle"
            width: parent.width
            placeholderText: "Название"
            onAccepted: createButton.clicked()
        }

        FailureText {
            objectName: "newPlaylistError"
            width: parent.width
            text: dialog.rows ? dialog.rows.createError : ""
        }

        Row {
            anchors.right: parent.right
            spacing: AppTheme.spacingS

            LinkButton {
                objectName: "newPlaylistCancel"
                anchors.verticalCenter: parent.verticalCenter
                text: "Отмена"
                onClicked: dialog.close()
            }

            AccentButton {
                id: createButton
                objectName: "newPlaylistCreate"
                text: "Создать"
                busy: dialog.rows ? dialog.rows.isCreating : false
                enabled: dialog.rows !== null && !dialog.rows.isCreating && dialog.rows.canCreate(titleField.text)
                onClicked: {
                    if (enabled)
                        dialog.rows.create(titleField.text)
                }
            }
        }
    }
}
