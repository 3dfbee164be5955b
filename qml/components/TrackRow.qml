import QtQuick
import QtQuick.Controls
import Nimbra

// The one row of every track list, a delegate over a track list model's
// roles. It holds no state and decides nothing: its actions call the list
// model given as `listModel` (play, playAndOpen, toggleFavorite by row) and
// are also said as signals for lists that do more. Built for lists of
// thousands: plain anchors, no layouts, no effects, a small cover.
Item {
    id: row

    // Between the title and the Hi-Fi badge after it.
    readonly property real badgeGap: 5

    required property int index
    required property string trackId
    required property string title
    required property string artist
    required property url coverUrl
    required property string durationText
    required property bool isFavorite
    required property bool isDisliked
    required property bool isHiFi
    required property bool isCurrent
    required property int trackNumber

    // The track list model whose row actions the row calls; may be null.
    property var listModel: null
    // The heart button and its menu item; lists without favourites leave it out.
    property bool favoriteEnabled: true
    // The "Добавить в плейлист" menu item.
    property bool addToPlaylistEnabled: false
    // A click on the cover plays and opens the player instead of playing only.
    property bool artworkOpensPlayer: false

    // The row's parts take their places while it is made (its width, the
    // heart, the duration); its texts are fitted to the line once they
    // have: a title of emoji costs each of its pictures at every layout.
    property bool placed: false
    Component.onCompleted: placed = true

    signal playRequested(int index)
    signal artworkTapped(int index)
    signal favoriteToggled(int index)
    signal addToPlaylistRequested(int index)

    function play() {
        if (listModel)
            listModel.play(index)
        playRequested(index)
    }
    function tapArtwork() {
        if (!artworkOpensPlayer) {
            play()
            return
        }
        if (listModel)
            listModel.playAndOpen(index)
        artworkTapped(index)
    }
    function toggleFavorite() {
        if (listModel)
            listModel.toggleFavorite(index)
        favoriteToggled(index)
    }

    implicitWidth: 480
    implicitHeight: AppTheme.trackRowHeight

    // A press may follow: the list model has the player ready its output.
    HoverHandler {
        onHoveredChanged: {
            if (hovered && row.listModel)
                row.listModel.pointerOnRow?.()
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: AppTheme.radiusM
        color: AppTheme.rowHighlight
        visible: row.isCurrent
    }

    // Right click anywhere on the row: the menu, made only when asked for.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: (mouse) => {
            const menu = menuComponent.createObject(row)
            menu.popup(mouse.x, mouse.y)
        }
    }

    Artwork {
        id: cover
        objectName: "trackArtwork"
        x: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        size: AppTheme.rowArtworkSize
        source: row.coverUrl
        interactive: true
        onTapped: row.tapArtwork()
    }

    Text {
        id: titleText
        objectName: "trackTitle"
        anchors.left: cover.right
        anchors.leftMargin: AppTheme.spacingM
        anchors.bottom: parent.verticalCenter
        anchors.bottomMargin: 1
        readonly property real widest: !row.placed ? 0 : duration.x - x - AppTheme.spacingM - (hiFi.visible ? hiFi.width + hiFi.anchors.leftMargin : 0)
        width: Math.min(implicitWidth, widest)
        text: RowLines.fit(row.title, widest, font.pixelSize)
        textFormat: Text.PlainText
        elide: Text.ElideRight
        maximumLineCount: 1
        color: row.isCurrent ? AppTheme.accent : AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.body.pixelSize, row.isCurrent ? Font.DemiBold : Font.Normal)

        MouseArea {
            anchors.fill: parent
            onDoubleClicked: row.play()
        }
    }

    Loader {
        id: hiFi
        anchors.left: titleText.right
        anchors.leftMargin: row.badgeGap
        anchors.verticalCenter: titleText.verticalCenter
        active: row.isHiFi
        visible: active
        sourceComponent: HiFiBadge { small: true }
    }

    ArtistCreditsLine {
        objectName: "trackArtist"
        anchors.left: titleText.left
        anchors.top: parent.verticalCenter
        anchors.topMargin: 1
        widest: !row.placed ? 0 : duration.x - x - AppTheme.spacingM
        width: Math.min(implicitWidth, widest)
        text: row.artist
        style: "compact"
    }

    Text {
        id: duration
        objectName: "trackDuration"
        anchors.right: favorite.visible ? favorite.left : playButton.left
        anchors.rightMargin: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        text: row.durationText
        color: AppTheme.textSecondary
        font: AppTheme.caption
    }

    IconButton {
        id: favorite
        objectName: "trackFavorite"
        anchors.right: playButton.left
        anchors.verticalCenter: parent.verticalCenter
        visible: row.favoriteEnabled
        symbol: row.isFavorite ? "heart.fill" : "heart"
        color: row.isFavorite ? AppTheme.accent : AppTheme.textSecondary
        toolTip: row.isFavorite ? "Убрать из избранного" : "В избранное"
        onClicked: row.toggleFavorite()
    }

    IconButton {
        id: playButton
        objectName: "trackPlay"
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        symbol: row.isCurrent ? "waveform" : "play.fill"
        color: AppTheme.textPrimary
        onClicked: row.play()
    }

    Component {
        id: menuComponent
        Menu {
            id: menu
            readonly property bool favorite: row.isFavorite
            onClosed: destroy()
            SymbolMenuItem {
                objectName: "menuPlay"
                text: "Играть"
                symbol: "play.fill"
                onTriggered: row.play()
            }
            SymbolMenuItem {
                objectName: "menuAddToPlaylist"
                text: "Добавить в плейлист"
                symbol: "music.note.list"
                visible: row.addToPlaylistEnabled
                height: visible ? implicitHeight : 0
                onTriggered: row.addToPlaylistRequested(row.index)
            }
            SymbolMenuItem {
                objectName: "menuFavorite"
                text: menu.favorite ? "Убрать из избранного" : "В избранное"
                symbol: menu.favorite ? "heart.slash" : "heart"
                visible: row.favoriteEnabled
                height: visible ? implicitHeight : 0
                onTriggered: row.toggleFavorite()
            }
        }
    }

    // A menu item with its symbol before the text, drawn from the icon font
    // as every other symbol is (the style's own icon wants an image).
    component SymbolMenuItem: MenuItem {
        id: menuItem
        property string symbol
        contentItem: Row {
            spacing: AppTheme.spacingS
            readonly property color tint: menuItem.highlighted ? menuItem.palette.highlightedText : menuItem.palette.windowText
            AppIcon {
                objectName: "menuSymbol"
                anchors.verticalCenter: parent.verticalCenter
                name: menuItem.symbol
                size: AppTheme.symbolSize(AppTheme.body)
                color: parent.tint
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: menuItem.text
                font: menuItem.font
                color: parent.tint
            }
        }
    }
}
