import QtQuick
import QtQuick.Controls
import Nimbra

// The main window: the sidebar beside the detail column, and over them, back
// to front, the clip player, the mini player and the update strip. The
// artist page and the fullscreen player cover the detail column only, so
// the sidebar stays usable beside them. Every rule lives in the model; this
// file only lays out what it says.
Item {
    id: main
    objectName: "mainView"

    // Kept for callers that navigate (the home page's quick cards).
    function navigateToSidebar(item) {
        nav.navigateToSidebar(item)
    }

    MainNavigationModel {
        id: nav
        objectName: "mainNavigation"
        onLayoutChanged: {
            if (showsClipPlayer)
                clipPlayerLoader.active = true
        }
    }

    // The screen of a section. A section without a screen of its own yet
    // shows its title and symbol. A screen engineer returns the section's
    // Component here (switch on item: SidebarItem.Search ...).
    function screenFor(item) {
        switch (item) {
        case SidebarItem.Favorites:
            return favoritesScreen
        case SidebarItem.Playlists:
            return playlistsScreen
        case SidebarItem.Home:
            return homeScreen
        case SidebarItem.Albums:
            return albumsScreen
        case SidebarItem.Catalog:
            return catalogScreen
        case SidebarItem.Search:
            return searchScreen
        case SidebarItem.Clips:
            return clipsScreen
        case SidebarItem.Battles:
            return battlesScreen
        case SidebarItem.Profile:
            return profileScreen
        case SidebarItem.Settings:
            return settingsScreen
        }
        return sectionPlaceholder
    }

    Component {
        id: profileScreen
        ProfileView {}
    }

    Component {
        id: settingsScreen
        SettingsView {}
    }

    // The page Navigation pushes, by kind. Each page gets `argument` (the
    // album or playlist id, the smart playlist's kind).
    function pageFor(page) {
        switch (page) {
        case Navigation.Album:
            return albumPage
        case Navigation.Playlist:
            return playlistPage
        case Navigation.SmartPlaylist:
            return smartPlaylistPage
        }
        return null
    }

    Binding {
        target: Navigation
        property: "sectionAcceptsPages"
        value: nav.selectionHasNavigationStack
    }

    Component {
        id: clipsScreen
        ClipsView {}
    }

    Component {
        id: battlesScreen
        BattlesView {}
    }

    Component {
        id: sectionPlaceholder
        SectionPlaceholder {
            title: nav.selectionTitle
            symbol: nav.selectionIcon
        }
    }

    Component {
        id: homeScreen
        HomeView {
            onNavigate: (item) => main.navigateToSidebar(item)
        }
    }

    Component {
        id: albumsScreen
        AlbumsView {}
    }

    Component {
        id: catalogScreen
        CatalogScreen { }
    }

    Component {
        id: searchScreen
        SearchScreen { }
    }

    Component {
        id: albumPage
        AlbumDetailView {}
    }

    Component {
        id: playlistPage
        PlaylistDetailView {}
    }

    Component {
        id: smartPlaylistPage
        SmartPlaylistView {}
    }

    Component {
        id: favoritesScreen
        FavoritesView {}
    }

    Component {
        id: playlistsScreen
        PlaylistsView {}
    }

    // Base layer: sidebar, divider and detail column. A fullscreen clip
    // makes it invisible and deaf to clicks.
    Item {
        id: splitView
        objectName: "splitView"
        anchors.fill: parent
        opacity: nav.splitViewOpacity
        enabled: nav.splitViewInteractive
        Behavior on opacity {
            NumberAnimation {
                duration: AppTheme.motionFast
                easing.type: AppTheme.motionEasing
            }
        }

        Rectangle {
            anchors.fill: parent
            color: AppTheme.background
        }

        Sidebar {
            id: sidebar
            objectName: "sidebar"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: AppTheme.sidebarWidth
            navigation: nav
        }

        Rectangle {
            id: divider
            anchors.left: sidebar.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: 1
            color: AppTheme.border
        }

        Item {
            id: detailColumn
            objectName: "detailColumn"
            anchors.left: divider.right
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            clip: true

            property real bottomInset: AppTheme.bottomReserve(nav.showsMiniPlayer, nav.showsUpdateBanner)
            Behavior on bottomInset {
                NumberAnimation {
                    duration: AppTheme.motionFast
                    easing.type: AppTheme.motionEasing
                }
            }

            Item {
                id: sectionArea
                objectName: "sectionArea"
                anchors.fill: parent
                anchors.bottomMargin: detailColumn.bottomInset
                opacity: nav.contentOpacity
                enabled: nav.contentEnabled
                Behavior on opacity {
                    NumberAnimation {
                        duration: AppTheme.motionMedium
                        easing.type: AppTheme.motionEasing
                    }
                }

                // One screen per visit: another section replaces the screen,
                // its view state and its pushed pages; coming back makes it
                // afresh.
                Repeater {
                    model: [nav.selection]

                    delegate: PageStack {
                        required property int modelData
                        objectName: "sectionStack"
                        anchors.fill: parent
                        stack: Navigation.Section
                        pageFor: main.pageFor
                        initialItem: main.screenFor(modelData)
                        Component.onCompleted: Navigation.resetSection()
                    }
                }
            }

            // The artist page, with no transition of its own. While it shows,
            // no field of the screen under it keeps the keyboard.
            Item {
                objectName: "artistLayer"
                anchors.fill: parent
                anchors.bottomMargin: detailColumn.bottomInset
                visible: nav.showsArtistPage
                z: 2

                // One stack per artist: another name starts afresh.
                Repeater {
                    model: nav.showsArtistPage ? [nav.presentedArtistName] : []

                    delegate: PageStack {
                        required property string modelData
                        objectName: "artistStack"
                        anchors.fill: parent
                        stack: Navigation.Artist
                        pageFor: main.pageFor
                        id: artistStack
                        initialItem: ArtistPage {
                            artistName: artistStack.modelData
                        }
                    }
                }

                FocusSuppressor {
                    anchors.fill: parent
                    visible: nav.showsArtistPage
                    refresh: nav.presentedArtistName
                }
            }

            SlideInLayer {
                objectName: "fullscreenLayer"
                anchors.fill: parent
                shown: nav.showsFullscreenPlayer
                duration: AppTheme.motionMedium
                z: 3

                // Made afresh on every presentation.
                Loader {
                    anchors.fill: parent
                    active: parent.visible
                    sourceComponent: FullscreenPlayer {}
                }
            }
        }
    }

    // Made at the first clip and kept: the video stack is not loaded, and
    // no surface exists, before anyone asks for a clip.
    Loader {
        id: clipPlayerLoader
        anchors.fill: parent
        visible: nav.showsClipPlayer
        active: false
        sourceComponent: ClipPlayerView {
            bottomInset: nav.showsMiniPlayer ? AppTheme.miniPlayerReserve : 0
        }
    }


    SlideInLayer {
        objectName: "miniPlayerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: AppTheme.miniPlayerHeight
        shown: nav.showsMiniPlayer

        MiniPlayer {
            anchors.fill: parent
        }
    }

    SlideInLayer {
        objectName: "updateBannerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.bottomMargin: bannerLift
        height: AppTheme.updateBannerHeight + AppTheme.spacingXL
        shown: nav.showsUpdateBanner
        duration: AppTheme.motionSlow
        easingType: Easing.OutCubic

        property real bannerLift: nav.showsMiniPlayer ? AppTheme.updateBannerLift : 0
        Behavior on bannerLift {
            NumberAnimation {
                duration: AppTheme.motionFast
                easing.type: AppTheme.motionEasing
            }
        }

        UpdateBanner {
            anchors.fill: parent
            anchors.leftMargin: AppTheme.spacingXL
            anchors.rightMargin: AppTheme.spacingXL
            anchors.topMargin: AppTheme.spacingXL
            anchors.bottomMargin: AppTheme.spacingM
        }
    }
}
