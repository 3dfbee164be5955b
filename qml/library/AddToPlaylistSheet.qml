import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Nimbra

// The sheet that puts one track into the listener's playlists, or into a
// new one made on the spot. Any screen with track rows opens it for a row:
//   AddToPlaylistSheet { id: addSheet }
//   TrackRow { addToPlaylistEnabled: true; onAddToPlaylistRequested: (i) => addSheet.openFor(listModel, i) }
// Each opening starts afresh (no marks from the last one). What it adds or
// creates goes through the playlists store, so every screen sees it at once.
Popup {
    id: sheet
    objectName: "addToPlaylistSheet"

    // The track of row `row` of the track list model `list`.
    function openFor(list, row) {
        rows.begin(list, row)
        open()
    }

    readonly property AddToPlaylistModel rows: AddToPlaylistModel {}
    // The sheet keeps a margin to the window between its smallest and
    // largest size.
    readonly property real minimumWidth: 320
    readonly property real maximumWidth: 420
    readonly property real minimumHeight: 400
    readonly property real maximumHeight: 520
    readonly property color errorEdge: AppTheme.alpha(AppTheme.systemRed, 0.5)

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.max(minimumWidth, Math.min(maximumWidth, parent ? parent.width - 2 * AppTheme.spacingXXL : maximumWidth))
    height: Math.max(minimumHeight, Math.min(maximumHeight, parent ? parent.height - 2 * AppTheme.spacingXXL : maximumHeight))
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: 0

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.background
        border.color: AppTheme.borderStrong
    }

    Overlay.modal: Rectangle {
        color: AppTheme.modalVeil
    }

    NewPlaylistDialog {
        id: createDialog
        rows: sheet.rows
    }

    Item {
        anchors.fill: parent
        Item {
            id: toolbar
            anchors.left: parent.left
            anchors.right: parent.right
            height: AppTheme.barHeight

            LinkButton {
                objectName: "addSheetDone"
                anchors.left: parent.left
                anchors.leftMargin: AppTheme.spacingL
                anchors.verticalCenter: parent.verticalCenter
                text: "Готово"
                font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                onClicked: sheet.close()
            }

            Text {
                anchors.centerIn: parent
                text: "Добавить в плейлист"
                color: AppTheme.textPrimary
                font: AppTheme.headline
            }

            IconButton {
                objectName: "addSheetCreate"
                anchors.right: parent.right
                anchors.rightMargin: AppTheme.spacingS
                anchors.verticalCenter: parent.verticalCenter
                symbol: "plus"
                color: AppTheme.accent
                toolTip: "Новый плейлист"
                onClicked: createDialog.openEmpty()
            }
        }

        Rectangle {
            id: rule
            anchors.top: toolbar.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            height: 1
            color: AppTheme.border
        }

        ListView {
            id: list
            objectName: "addSheetList"
            anchors.top: rule.bottom
            anchors.topMargin: AppTheme.spacingXS
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            clip: true
            visible: !sheet.rows.isLoading
            model: sheet.rows
            boundsBehavior: Flickable.StopAtBounds
            // The message lies over the foot of the list. Room for it stays
            // below the last row whether it shows or not, so the last row
            // scrolls clear of it and nothing moves when it comes or goes.
            bottomMargin: errorBanner.height + 2 * errorBanner.anchors.margins

            delegate: T.AbstractButton {
                id: playlistRow
                required property int index
                required property string title
                required property string countText
                required property bool isAdding
                required property bool isAdded

                readonly property real rowHeight: 52
                // The mark at the row's end: a spinner while adding, a tick once added.
                readonly property real markSize: 20
                readonly property real markSymbolSize: 16

                objectName: "addSheetRow"
                width: ListView.view.width
                implicitHeight: rowHeight
                enabled: !ListView.view.model.isAdding
                hoverEnabled: true
                onClicked: ListView.view.model.addTo(index)

                background: Rectangle {
                    color: playlistRow.hovered ? AppTheme.rowHighlight : "transparent"
                    Rectangle {
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        anchors.leftMargin: AppTheme.spacingL
                        height: 1
                        color: AppTheme.border
                    }
                }

                Item {
                    anchors.fill: parent
                    Column {
                        anchors.left: parent.left
                        anchors.leftMargin: AppTheme.spacingL
                        anchors.right: mark.left
                        anchors.rightMargin: AppTheme.spacingS
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: AppTheme.spacingXXS

                        Text {
                            objectName: "addSheetRowTitle"
                            width: parent.width
                            text: playlistRow.title
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            color: AppTheme.textPrimary
                            font: AppTheme.body
                        }
                        Text {
                            objectName: "addSheetRowCount"
                            text: playlistRow.countText
                            color: AppTheme.textSecondary
                            font: AppTheme.caption
                        }
                    }

                    Item {
                        id: mark
                        anchors.right: parent.right
                        anchors.rightMargin: AppTheme.spacingL
                        anchors.verticalCenter: parent.verticalCenter
                        width: playlistRow.markSize
                        height: playlistRow.markSize

                        ProgressSpinner {
                            anchors.centerIn: parent
                            size: playlistRow.markSymbolSize
                            visible: playlistRow.isAdding
                            running: visible
                        }
                        AppIcon {
                            objectName: "addSheetRowCheck"
                            anchors.centerIn: parent
                            visible: !playlistRow.isAdding && playlistRow.isAdded
                            name: "checkmark"
                            size: playlistRow.markSymbolSize
                            color: AppTheme.accent
                        }
                    }
                }
            }
        }

        StateView {
            anchors.fill: list
            loadState: sheet.rows.isLoading ? LoadState.Loading
                     : sheet.rows.count === 0 ? LoadState.Empty : LoadState.Idle
            emptyTitle: "Нет плейлистов"
            emptyText: "Нажмите + чтобы создать"
            emptyIcon: "music.note.list"
        }

        // Laid over the foot of the list, so that the rows stay where the
        // pointer left them when a message comes or goes.
        Rectangle {
            id: errorBanner
            objectName: "addSheetErrorBanner"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: AppTheme.spacingS
            height: addError.implicitHeight + 2 * AppTheme.spacingS
            radius: AppTheme.radiusM
            visible: addError.text !== ""
            color: AppTheme.surface
            border.color: sheet.errorEdge

            FailureText {
                id: addError
                objectName: "addSheetError"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                anchors.margins: AppTheme.spacingM
                text: sheet.rows.addError
            }
        }
    }
}
