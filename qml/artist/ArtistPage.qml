import QtQuick
import QtQuick.Controls
import Nimbra

// The artist page over the detail column, the root of the artist page's
// stack: one of loading, the load's error with "Повторить", not found, or
// the page (header, latest release, "Все треки", the discography and the
// albums the artist takes part in) as one list, with the back bar floating
// on top.
// Albums open over it on the same stack and leave it as it was.
Rectangle {
    id: page
    objectName: "artistPage"

    property string artistName
    // The pushed-page contract of the window's stacks.
    property string argument

    color: AppTheme.background

    ArtistPageModel {
        id: pageModel
        objectName: "artistPageModel"
        catalog: ArtistCatalogStore
        auth: AuthStore
        artistName: page.artistName
        onLinkCopied: confirmation => toast.show(confirmation)
    }

    // Clicks stay on the page instead of reaching the screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    // One virtualised list for the whole page: only the rows near the
    // window exist, so a long discography makes and fetches the covers of
    // its first rows, not of all of them.
    ListView {
        id: scroll
        objectName: "artistScroll"
        anchors.fill: parent
        visible: pageModel.loadState === LoadState.Loaded
        model: pageModel.rows
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        // The album grids: as many columns of at least 150 points (and a
        // gap of 12) as fit in the padded width.
        readonly property real contentInset: AppTheme.spacingL
        readonly property real gridInset: AppTheme.spacingM / 2
        readonly property real gridWidth: width - 2 * contentInset + 2 * gridInset
        readonly property int columns: Math.max(1, Math.floor(gridWidth / (150 + 2 * gridInset)))
        readonly property real cellWidth: Math.floor(gridWidth / columns)
        onColumnsChanged: pageModel.rows.columns = columns
        Component.onCompleted: pageModel.rows.columns = columns

        ScrollBar.vertical: ScrollBar { }

        footer: Item {
            width: ListView.view ? ListView.view.width : 0
            height: AppTheme.spacingXXL
        }

        delegate: Item {
            id: pageRow

            required property var model
            required property int index

            readonly property string kind: model.kind
            // Room above the row: the header's strip for the floating bar,
            // 20 above the first block and 28 between blocks, 4 inside
            // "Все треки", 12 inside an album section.
            readonly property real gap: kind === "header" ? 0
                : model.opensBlock ? (model.firstBlock ? AppTheme.spacingXL : AppTheme.spacingXXL - AppTheme.spacingXS)
                : kind === "albums" ? AppTheme.spacingM
                : (kind === "track" && model.item === 0) || kind === "toggle" ? AppTheme.spacingXS : 0

            width: ListView.view.width
            height: gap + (content.item ? content.item.height : 0)

            Loader {
                id: content
                x: pageRow.kind === "header" ? 0
                    : pageRow.kind === "albums" ? scroll.contentInset - scroll.gridInset : scroll.contentInset
                y: pageRow.gap
                width: pageRow.width - 2 * x
                sourceComponent: {
                    switch (pageRow.kind) {
                    case "header": return headerRow
                    case "release": return releaseRow
                    case "tracksTitle": return tracksTitleRow
                    case "track": return trackRow
                    case "toggle": return toggleRow
                    case "discographyTitle": return discographyTitleRow
                    case "featTitle": return featTitleRow
                    case "albums": return albumsRow
                    }
                    return null
                }
            }

            Component {
                id: headerRow
                Column {
                    // Room for the floating back bar.
                    Item {
                        width: parent.width
                        height: backBar.height - AppTheme.spacingM
                    }
                    ArtistHeader {
                        objectName: "artistHeader"
                        width: parent.width
                        height: 280
                        model: pageModel
                    }
                }
            }

            Component {
                id: releaseRow
                LatestReleaseCard {
                    objectName: "latestRelease"
                    model: pageModel
                }
            }

            Component {
                id: tracksTitleRow
                ArtistSectionTitle {
                    objectName: "allTracks"
                    title: "Все треки"
                    subtitle: pageModel.tracks.count
                }
            }

            Component {
                id: trackRow
                TrackRow {
                    objectName: "artistTrackRow"
                    index: pageRow.model.item
                    trackId: pageRow.model.trackId
                    title: pageRow.model.title
                    artist: pageRow.model.artist
                    coverUrl: pageRow.model.coverUrl
                    durationText: pageRow.model.durationText
                    isFavorite: pageRow.model.isFavorite
                    isDisliked: pageRow.model.isDisliked
                    isHiFi: pageRow.model.isHiFi
                    isCurrent: pageRow.model.isCurrent
                    trackNumber: pageRow.model.trackNumber ?? 0
                    listModel: pageModel.tracks
                    artworkOpensPlayer: true
                }
            }

            Component {
                id: toggleRow
                Item {
                    objectName: "tracksToggle"
                    height: toggleContent.implicitHeight + 2 * 10

                    Row {
                        id: toggleContent
                        x: AppTheme.spacingS
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: AppTheme.spacingS

                        AppIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            name: pageModel.tracksExpanded ? "chevron.up" : "chevron.down"
                            size: AppTheme.symbolSize(AppTheme.caption)
                            color: AppTheme.accent
                        }

                        Text {
                            objectName: "tracksToggleText"
                            text: pageModel.toggleText
                            color: AppTheme.accent
                            font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                        }
                    }

                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: pageModel.toggleTracksExpanded()
                    }
                }
            }

            Component {
                id: discographyTitleRow
                ArtistSectionTitle {
                    objectName: "discography"
                    title: "Дискография"
                    subtitle: pageModel.discographySubtitle
                }
            }

            Component {
                id: featTitleRow
                ArtistSectionTitle {
                    objectName: "featAlbums"
                    title: "При участии — альбомы"
                }
            }

            Component {
                id: albumsRow
                AlbumGridRow {
                    objectName: pageRow.model.section === 0 ? "discographyGrid" : "featAlbumsGrid"
                    albums: pageRow.model.section === 0 ? pageModel.artAlbums : pageModel.featAlbums
                    first: pageRow.model.item
                    count: pageRow.model.itemCount
                    cellWidth: scroll.cellWidth
                    inset: scroll.gridInset
                }
            }
        }
    }

    StateView {
        objectName: "artistState"
        anchors.fill: parent
        loadState: pageModel.loadState
        errorText: pageModel.errorText
        loadingTitle: "Загружаем каталог…"
        loadingText: "Это может занять несколько секунд"
        errorTitle: "Не удалось загрузить каталог"
        emptyTitle: "Исполнитель не найден"
        emptyText: pageModel.notFoundText
        emptyIcon: "person.crop.circle"
        onRetry: pageModel.retry()
    }

    // The bar floats over the page; content scrolled under it stays behind.
    Rectangle {
        anchors.fill: backBar
        color: AppTheme.alpha(AppTheme.background, 0.94)
        visible: scroll.visible && !scroll.atYBeginning
    }

    BackBar {
        id: backBar
        objectName: "artistBackBar"
        anchors.left: parent.left
        anchors.right: parent.right
        title: pageModel.title
    }

    CopiedToast {
        id: toast
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: AppTheme.spacingXL
    }

    SignInRequiredDialog {
        message: page.visible ? pageModel.tracks.signInPrompt : ""
        onDismissed: pageModel.tracks.signInPrompt = ""
    }
}
