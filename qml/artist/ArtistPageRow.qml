import QtQuick
import Nimbra

// One row of the artist page's list, by its kind: the header, the latest
// release, the title, a track and the toggle of "Все треки", an album
// section's title or one row of its grid. A row never changes its kind (the
// list inserts and removes rows instead), so its content is made once, when
// the row is, and handed the row itself to read from.
Item {
    id: pageRow

    required property var model
    required property int index

    // The page's list and what it shares with its rows.
    readonly property var view: ListView.view
    readonly property ArtistPageModel pageModel: view ? view.artist : null

    readonly property string kind: model.kind
    // Room above the row: none above the header, 20 above the first block
    // and 28 between blocks, 4 inside "Все треки", 12 inside an album
    // section.
    readonly property real gap: kind === "header" ? 0
        : model.opensBlock ? (model.firstBlock ? AppTheme.spacingXL : AppTheme.spacingXXL - AppTheme.spacingXS)
        : kind === "albums" ? AppTheme.spacingM
        : (kind === "track" && model.item === 0) || kind === "toggle" ? AppTheme.spacingXS : 0
    // The page's side margins; a grid row reaches into them by half a gap.
    readonly property real contentX: !view || kind === "header" ? 0
        : kind === "albums" ? view.contentInset - view.gridInset : view.contentInset
    readonly property real contentWidth: width - 2 * contentX
    readonly property real headerHeight: 280
    // Above and below the text of the track list's toggle.
    readonly property real togglePadding: 10

    property Item content: null

    width: view ? view.width : 0
    height: gap + (content ? content.height : 0)

    Component.onCompleted: {
        const kinds = {
            "header": headerRow, "release": releaseRow, "tracksTitle": tracksTitleRow, "track": trackRow,
            "toggle": toggleRow, "discographyTitle": discographyTitleRow, "featTitle": featTitleRow,
            "albums": albumsRow
        }
        const made = kinds[kind]
        if (made)
            content = made.createObject(pageRow, { row: pageRow })
    }

    Component {
        id: headerRow
        ArtistHeader {
            required property var row
            objectName: "artistHeader"
            x: row.contentX
            y: row.gap
            width: row.contentWidth
            height: row.headerHeight
            model: row.pageModel
        }
    }

    Component {
        id: releaseRow
        LatestReleaseCard {
            required property var row
            objectName: "latestRelease"
            x: row.contentX
            y: row.gap
            width: row.contentWidth
            model: row.pageModel
        }
    }

    Component {
        id: tracksTitleRow
        ArtistSectionTitle {
            required property var row
            objectName: "allTracks"
            x: row.contentX
            y: row.gap
            title: "Все треки"
            subtitle: row.pageModel.tracks.count
        }
    }

    Component {
        id: trackRow
        TrackRow {
            required property var row
            objectName: "artistTrackRow"
            x: row.contentX
            y: row.gap
            width: row.contentWidth
            index: row.model.item
            trackId: row.model.trackId
            title: row.model.title
            artist: row.model.artist
            coverUrl: row.model.coverUrl
            durationText: row.model.durationText
            isFavorite: row.model.isFavorite
            isDisliked: row.model.isDisliked
            isHiFi: row.model.isHiFi
            isCurrent: row.model.isCurrent
            trackNumber: row.model.trackNumber ?? 0
            listModel: row.pageModel.tracks
            artworkOpensPlayer: true
        }
    }

    Component {
        id: toggleRow
        Item {
            id: toggle
            required property var row
            objectName: "tracksToggle"
            x: row.contentX
            y: row.gap
            width: row.contentWidth
            height: toggleContent.implicitHeight + 2 * row.togglePadding

            Row {
                id: toggleContent
                x: AppTheme.spacingS
                anchors.verticalCenter: parent.verticalCenter
                spacing: AppTheme.spacingS

                AppIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: toggle.row.pageModel.tracksExpanded ? "chevron.up" : "chevron.down"
                    size: AppTheme.symbolSize(AppTheme.caption)
                    color: AppTheme.accent
                }

                Text {
                    objectName: "tracksToggleText"
                    text: toggle.row.pageModel.toggleText
                    color: AppTheme.accent
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                }
            }

            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: toggle.row.pageModel.toggleTracksExpanded()
            }
        }
    }

    Component {
        id: discographyTitleRow
        ArtistSectionTitle {
            required property var row
            objectName: "discography"
            x: row.contentX
            y: row.gap
            title: "Дискография"
            subtitle: row.pageModel.discographySubtitle
        }
    }

    Component {
        id: featTitleRow
        ArtistSectionTitle {
            required property var row
            objectName: "featAlbums"
            x: row.contentX
            y: row.gap
            title: "При участии — альбомы"
        }
    }

    Component {
        id: albumsRow
        AlbumGridRow {
            required property var row
            objectName: row.model.section === 0 ? "discographyGrid" : "featAlbumsGrid"
            x: row.contentX
            y: row.gap
            albums: row.model.section === 0 ? row.pageModel.artAlbums : row.pageModel.featAlbums
            first: row.model.item
            count: row.model.itemCount
            cellWidth: row.view.cellWidth
            inset: row.view.gridInset
        }
    }
}
