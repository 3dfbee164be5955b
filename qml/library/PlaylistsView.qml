import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Nimbra

// The section "Плейлисты": the smart playlists' cards above the listener's
// own playlists, "+" for a new one; both kinds open on the section's stack.
// Without an account it asks to sign in. Loads each time it comes on screen.
ListPage {
    id: screen
    objectName: "playlistsView"

    // The spinner and the symbol that stand for the empty list.
    readonly property real emptySymbolSize: 24

    title: "Плейлисты"
    trailing: IconButton {
        objectName: "playlistsCreate"
        visible: !rows.needsSignIn
        symbol: "plus"
        color: AppTheme.accent
        toolTip: "Новый плейлист"
        onClicked: createDialog.openEmpty()
    }

    PlaylistsModel {
        id: rows
        shown: screen.StackView.view === null || screen.StackView.status === StackView.Active
    }

    NewPlaylistDialog {
        id: createDialog
        rows: rows
    }

    // The cards are the list's first section: they scroll with the rows.
    // Its height never changes with the rows: a list keeps its offset when
    // its header grows, which would cut off the header's top.
    list.header: Column {
        width: ListView.view ? ListView.view.width : 0
        spacing: AppTheme.spacingS

        Text {
            text: "Умные плейлисты"
            color: AppTheme.textMuted
            font: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.DemiBold)
        }

        Row {
            id: cards
            width: parent.width
            topPadding: AppTheme.spacingXS
            bottomPadding: AppTheme.spacingXS
            spacing: AppTheme.spacingM

            Repeater {
                model: SmartPlaylistCards {}
                delegate: SmartPlaylistCard {
                    objectName: "smartCard_" + kind
                    width: parent ? (parent.width - 2 * AppTheme.spacingM) / 3 : 0
                    onClicked: Navigation.openSmartPlaylist(kind)
                }
            }
        }
    }

    model: rows
    list.objectName: "playlistsList"
    listGap: AppTheme.spacingL
    listMargin: AppTheme.pageMargin
    // Only a guest sees a state: the list itself says when it is empty.
    loadState: rows.needsSignIn ? LoadState.Empty : LoadState.Idle
    stateView.objectName: "playlistsSignIn"
    stateView.emptyTitle: "Нужен вход"
    stateView.emptyText: "Войдите, чтобы открыть плейлисты"
    stateView.emptyIcon: "music.note.list"

    delegate: Column {
        id: entry
        required property int index
        required property string playlistId
        required property string title
        required property string countText

        // A row waiting in the pool is out of sight and out of reach.
        ListView.onPooled: entry.visible = false
        ListView.onReused: entry.visible = true
        width: ListView.view.width

        // The section's title, above its first row.
        Text {
            topPadding: AppTheme.spacingM
            bottomPadding: AppTheme.spacingXS
            visible: entry.index === 0
            text: "Мои плейлисты"
            color: AppTheme.textMuted
            font: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.DemiBold)
        }

        T.AbstractButton {
            id: row

            readonly property real tileSymbolSize: 20

            objectName: "playlistRow"
            width: entry.width
            implicitHeight: AppTheme.rowArtworkSize + 4 * AppTheme.spacingXS
            hoverEnabled: true
            onClicked: Navigation.openPlaylist(entry.playlistId)

            background: Rectangle {
                radius: AppTheme.radiusM
                color: row.hovered ? AppTheme.rowHighlight : "transparent"
                Rectangle {
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.leftMargin: AppTheme.rowArtworkSize + AppTheme.spacingM
                    height: 1
                    color: AppTheme.border
                }
            }

            Rectangle {
                id: tile
                anchors.verticalCenter: parent.verticalCenter
                width: AppTheme.rowArtworkSize
                height: AppTheme.rowArtworkSize
                radius: AppTheme.radiusM
                color: AppTheme.elevated

                AppIcon {
                    anchors.centerIn: parent
                    name: "music.note.list"
                    size: row.tileSymbolSize
                    color: AppTheme.accent
                }
            }

            Column {
                anchors.left: tile.right
                anchors.leftMargin: AppTheme.spacingM
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: AppTheme.spacingXXS

                Text {
                    objectName: "playlistRowTitle"
                    width: parent.width
                    text: entry.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: AppTheme.textPrimary
                    font: AppTheme.body
                }
                Text {
                    objectName: "playlistRowCount"
                    text: entry.countText
                    color: AppTheme.textSecondary
                    font: AppTheme.caption
                }
            }
        }
    }

    // Below the cards while there is no playlist to list: a spinner, the
    // failure with its retry, or the hint once the service said "none".
    Item {
        anchors.top: screen.list.top
        anchors.left: screen.list.left
        anchors.right: screen.list.right
        anchors.topMargin: screen.list.headerItem ? screen.list.headerItem.height : 0
        height: (rows.loadState === LoadState.Failed ? failure.implicitHeight : emptyColumn.implicitHeight)
            + 2 * AppTheme.spacingXXL
        visible: !rows.needsSignIn && rows.count === 0

        ProgressSpinner {
            anchors.centerIn: parent
            size: screen.emptySymbolSize
            visible: rows.loadState === LoadState.Loading
            running: visible
        }

        StateView {
            id: failure
            objectName: "playlistsFailure"
            anchors.fill: parent
            loadState: rows.loadState === LoadState.Failed ? LoadState.Failed : LoadState.Idle
            errorText: rows.errorText
            onRetry: rows.retry()
        }

        Column {
            id: emptyColumn
            objectName: "playlistsEmpty"
            anchors.centerIn: parent
            spacing: AppTheme.symbolGap
            visible: rows.loadState === LoadState.Empty

            AppIcon {
                anchors.horizontalCenter: parent.horizontalCenter
                name: "music.note.list"
                size: screen.emptySymbolSize
                color: AppTheme.textMuted
            }
            Text {
                text: "Нажмите + чтобы создать плейлист"
                color: AppTheme.textMuted
                font: AppTheme.caption
            }
        }
    }
}
