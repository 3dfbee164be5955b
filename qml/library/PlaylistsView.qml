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
    // A guest sees the sign-in state in place of the cards and the list;
    // a listener sees loading, the failure or the hint to make a playlist
    // below the cards, once the service said "none".
    loadState: rows.needsSignIn ? LoadState.Empty : rows.loadState
    errorText: rows.errorText
    onRetry: rows.retry()
    // Named for what it says.
    stateView.objectName: rows.needsSignIn ? "playlistsSignIn"
        : rows.loadState === LoadState.Failed ? "playlistsFailure"
        : rows.loadState === LoadState.Empty ? "playlistsEmpty" : "playlistsState"
    stateView.compact: !rows.needsSignIn
    stateView.emptyTitle: rows.needsSignIn ? "Нужен вход" : ""
    stateView.emptyText: rows.needsSignIn ? "Войдите, чтобы открыть плейлисты" : "Нажмите + чтобы создать плейлист"
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
}
