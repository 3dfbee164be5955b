import QtQuick
import QtQuick.Controls
import Nimbra

// The home page: the hero that starts the wave over its glows, the four
// quick cards, today's playlist and the new releases. Everything it shows
// and does comes from its HomePageModel; the quick cards ask the window to
// switch sections (`navigate`), an album release opens its page through
// Navigation, the daily card opens today's list in a sheet. It loads each
// time it comes on screen, the return from an album's page included.
Item {
    id: page
    objectName: "homeView"

    // Asks the main window to show another sidebar section.
    signal navigate(int item)

    readonly property real sideMargin: AppTheme.featureMargin
    readonly property real cardSpacing: 14
    readonly property real heroMinimumHeight: 340
    readonly property real heroPadding: 36
    // The wave's disc: its face, the play symbol (drawn a little right of
    // the centre, where it looks centred) and the shadow under it.
    readonly property real waveButtonSize: 88
    readonly property color waveFace: "#f6f5ff"
    readonly property color waveFacePressed: "#e2ddfb"
    readonly property real wavePlaySize: 36
    readonly property real wavePlayNudge: 4
    readonly property real waveSpinnerSize: 30
    readonly property real waveShadowDrop: 10
    readonly property real waveShadowStrength: 0.12
    readonly property real waveShadowStep: 6
    readonly property real heroTitleSize: 34
    readonly property real heroTextWidth: 300
    readonly property color heroTextColor: AppTheme.alpha("white", 0.82)
    // Above and below the quick cards, and below today's playlist.
    readonly property real quickCardsGap: 18
    readonly property real dailyGap: 22
    readonly property color favoritesTint: AppTheme.alpha(AppTheme.systemRed, 0.14)
    readonly property color collectionTint: AppTheme.alpha(AppTheme.accent, 0.13)
    readonly property color clipsTint: AppTheme.alpha(AppTheme.systemBlue, 0.12)
    readonly property color battlesTint: AppTheme.alpha(AppTheme.systemOrange, 0.14)
    // The releases: the title's gap to the strip, the spinner in its place,
    // the strip's room above and below the cards for their shadows.
    readonly property real releasesTitleGap: 10
    readonly property real releasesSpinnerSize: 24
    readonly property real releaseStripPadding: 6

    HomePageModel {
        id: home
        objectName: "homeModel"
        shown: page.StackView.view === null || page.StackView.status === StackView.Active
        onAlbumRequested: (albumId) => Navigation.openAlbum(albumId)
    }

    // Today's list over the window, made at its first opening and kept with
    // the page: the sheet holds a whole list screen, which most visits never
    // open.
    property Popup dailySheet: null

    function openDailySheet() {
        if (!page.dailySheet)
            page.dailySheet = OnDemand.component(Qt.resolvedUrl("DailySheet.qml")).createObject(page, { homeModel: home })
        page.dailySheet.open()
    }

    ShadedPageBackground {
        anchors.fill: parent
    }

    Flickable {
        id: scroller
        objectName: "homeScroller"
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        HomeAuroraBackground {
            width: scroller.width
            heroHeight: hero.height
        }

        Column {
            id: column
            width: scroller.width

            Item {
                id: hero
                objectName: "homeHero"
                width: parent.width
                height: Math.max(page.heroMinimumHeight, heroContent.implicitHeight + 2 * page.heroPadding)

                Column {
                    id: heroContent
                    anchors.centerIn: parent
                    width: parent.width - 2 * AppTheme.spacingXL
                    spacing: AppTheme.cardPadding

                    Item {
                        id: waveButton
                        objectName: "waveButton"
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: page.waveButtonSize
                        height: page.waveButtonSize
                        // One wave at a time: no second click while it loads.
                        enabled: !home.isWaveLoading

                        PlayIntent {}

                        DiscShadow {
                            anchors.fill: parent
                            offsetY: page.waveShadowDrop
                            strength: page.waveShadowStrength
                            step: page.waveShadowStep
                        }

                        Rectangle {
                            anchors.fill: parent
                            radius: width / 2
                            color: waveMouse.pressed ? page.waveFacePressed : page.waveFace
                        }

                        AppIcon {
                            anchors.centerIn: parent
                            anchors.horizontalCenterOffset: page.wavePlayNudge
                            visible: !home.isWaveLoading
                            name: "play.fill"
                            size: AppTheme.symbolSize(AppTheme.systemFont(page.wavePlaySize))
                            color: AppTheme.accentMuted
                        }

                        ProgressSpinner {
                            objectName: "waveSpinner"
                            anchors.centerIn: parent
                            size: page.waveSpinnerSize
                            color: AppTheme.accentMuted
                            running: home.isWaveLoading
                        }

                        MouseArea {
                            id: waveMouse
                            anchors.fill: parent
                            onClicked: home.startMyWave()
                        }
                    }

                    Text {
                        width: parent.width
                        horizontalAlignment: Text.AlignHCenter
                        text: "Моя волна"
                        color: "white"
                        font: AppTheme.systemFont(page.heroTitleSize, Font.Black)
                    }

                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: Math.min(page.heroTextWidth, parent.width)
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        text: "Бесконечный поток из вашей библиотеки в случайном порядке — в духе любимого плейлиста."
                        color: page.heroTextColor
                        font: AppTheme.callout
                    }
                }
            }

            // A failed load or wave start: its text and a way to load again,
            // under the hero. A load under way shows no spinner here: the
            // cards fill in as it answers.
            StateView {
                objectName: "homeError"
                width: parent.width
                height: implicitHeight + AppTheme.spacingS
                loadState: home.errorText !== "" ? LoadState.Failed : LoadState.Idle
                errorTitle: "Ошибка"
                errorText: home.errorText
                onRetry: home.retry()
            }

            Grid {
                id: quickCards
                objectName: "quickCards"
                x: page.sideMargin
                width: parent.width - 2 * page.sideMargin
                topPadding: page.quickCardsGap
                bottomPadding: page.quickCardsGap
                columns: 2
                columnSpacing: page.cardSpacing
                rowSpacing: page.cardSpacing

                readonly property real cardWidth: (width - columnSpacing) / 2

                HomeQuickCard {
                    objectName: "quickFavorites"
                    width: quickCards.cardWidth
                    emoji: "♥"
                    tint: page.favoritesTint
                    title: "Избранное"
                    subtitle: home.favoritesSubtitle
                    onClicked: page.navigate(SidebarItem.Favorites)
                }
                HomeQuickCard {
                    objectName: "quickCollection"
                    width: quickCards.cardWidth
                    emoji: "💿"
                    tint: page.collectionTint
                    title: "Коллекция"
                    subtitle: home.collectionSubtitle
                    onClicked: page.navigate(SidebarItem.Albums)
                }
                HomeQuickCard {
                    objectName: "quickClips"
                    width: quickCards.cardWidth
                    emoji: "▶"
                    tint: page.clipsTint
                    title: "Клипы"
                    subtitle: home.clipsSubtitle
                    onClicked: page.navigate(SidebarItem.Clips)
                }
                HomeQuickCard {
                    objectName: "quickBattles"
                    width: quickCards.cardWidth
                    emoji: "⚔"
                    tint: page.battlesTint
                    title: "Баттлы"
                    subtitle: home.battlesSubtitle
                    onClicked: page.navigate(SidebarItem.Battles)
                }
            }

            Item {
                width: parent.width
                height: home.hasDaily ? dailyCard.height + page.dailyGap : 0
                visible: home.hasDaily

                HomeDailyCard {
                    id: dailyCard
                    objectName: "dailyCard"
                    x: page.sideMargin
                    width: parent.width - 2 * page.sideMargin
                    coverUrls: home.dailyCoverUrls
                    dateText: home.dailyDateText
                    countText: home.dailyCountText
                    onClicked: page.openDailySheet()
                }
            }

            Column {
                x: page.sideMargin
                width: parent.width - 2 * page.sideMargin
                bottomPadding: AppTheme.sheetMargin
                spacing: page.releasesTitleGap

                Row {
                    leftPadding: AppTheme.spacingXS
                    spacing: AppTheme.spacingXS

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Новые релизы"
                        color: "white"
                        font: AppTheme.systemFont(AppTheme.title2.pixelSize, Font.ExtraBold)
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "›"
                        color: AppTheme.textMuted
                        font: AppTheme.title2
                    }
                }

                Item {
                    width: parent.width
                    height: releaseStrip.height
                    visible: home.loadState === LoadState.Loading && home.releases.count === 0

                    ProgressSpinner {
                        objectName: "releasesSpinner"
                        anchors.centerIn: parent
                        size: page.releasesSpinnerSize
                        running: parent.visible
                    }
                }

                Text {
                    objectName: "releasesEmpty"
                    visible: home.loadState !== LoadState.Loading && home.releases.count === 0
                    topPadding: AppTheme.sheetMargin
                    bottomPadding: AppTheme.sheetMargin
                    leftPadding: AppTheme.spacingXS
                    text: "Пока нет релизов"
                    color: AppTheme.textSecondary
                    font: AppTheme.body
                }

                ListView {
                    id: releaseStrip
                    objectName: "releaseStrip"
                    width: parent.width
                    height: AppTheme.releaseCoverSize + 2 * page.releaseStripPadding
                    visible: home.releases.count > 0
                    orientation: ListView.Horizontal
                    spacing: page.cardSpacing
                    leftMargin: AppTheme.spacingXS
                    rightMargin: AppTheme.spacingXS
                    topMargin: page.releaseStripPadding
                    bottomMargin: page.releaseStripPadding
                    clip: true
                    boundsBehavior: Flickable.StopAtBounds
                    model: home.releases

                    delegate: HomeReleaseCard {
                        onPlay: (row) => home.playRelease(row)
                    }
                }
            }
        }
    }
}
