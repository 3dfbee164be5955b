import QtQuick
import Nimbra

// The screen kit for a reviewer's eye: a section header with an action, the
// search field, track rows (plain, current, Hi-Fi, favourite, long texts),
// covers with and without a picture, the state view's three faces and a
// pushed page's back bar. tst_components renders it to a PNG.
Rectangle {
    id: root
    width: 1100
    height: 760
    color: AppTheme.background

    property url coverUrl

    ListModel {
        id: tracks
        ListElement { trackId: "t1"; title: "Хочешь?"; artist: "Земфира"; durationText: "3:45"; isFavorite: false; isDisliked: false; isHiFi: false; isCurrent: false; trackNumber: 1 }
        ListElement { trackId: "t2"; title: "Владивосток 2000"; artist: "Мумий Тролль"; durationText: "2:38"; isFavorite: true; isDisliked: false; isHiFi: true; isCurrent: true; trackNumber: 2 }
        ListElement { trackId: "t3"; title: "Очень длинное название трека, которое никак не помещается в одну строку"; artist: "Артист, Второй артист, Третий артист, Четвёртый"; durationText: "62:05"; isFavorite: false; isDisliked: true; isHiFi: true; isCurrent: false; trackNumber: 3 }
        ListElement { trackId: "t4"; title: "Тишина"; artist: "Без обложки"; durationText: "0:00"; isFavorite: true; isDisliked: false; isHiFi: false; isCurrent: false; trackNumber: 4 }
    }

    Column {
        x: AppTheme.spacingXXL
        y: AppTheme.spacingXL
        width: 560
        spacing: AppTheme.spacingM

        SectionHeader {
            width: parent.width
            title: "Каталог"
            subtitle: "1 240 треков"
            trailing: AccentButton { text: "Обновить" }
        }

        SearchField {
            width: parent.width
            text: "земфира"
        }

        ListView {
            objectName: "trackList"
            width: parent.width
            height: 4 * AppTheme.trackRowHeight
            interactive: false
            model: tracks
            delegate: TrackRow {
                width: ListView.view.width
                coverUrl: index === 1 ? root.coverUrl : ""
                addToPlaylistEnabled: true
            }
        }

        Row {
            spacing: AppTheme.spacingL
            Artwork { size: 96; source: root.coverUrl }
            Artwork { size: 96 }
            Artwork { size: 64; interactive: true }
            Artwork { size: 44; source: "file:///no/such/cover.png" }
        }

        Rectangle {
            width: parent.width
            height: 48
            color: AppTheme.surface
            radius: AppTheme.radiusM
            BackBar { anchors.fill: parent; title: "Альбом: Владивосток 2000" }
        }
    }

    Column {
        x: 640
        y: AppTheme.spacingXL
        width: 420
        spacing: AppTheme.spacingM

        Repeater {
            model: [
                { state: LoadState.Loading, text: "" },
                { state: LoadState.Empty, text: "Добавьте треки в избранное" },
                { state: LoadState.Failed, text: "Нет соединения с сервером" }
            ]
            delegate: Rectangle {
                required property var modelData
                width: 420
                height: 200
                color: AppTheme.surface
                radius: AppTheme.radiusL
                StateView {
                    anchors.fill: parent
                    loadState: modelData.state
                    emptyTitle: "Здесь пока пусто"
                    emptyText: modelData.state === LoadState.Empty ? modelData.text : ""
                    errorText: modelData.state === LoadState.Failed ? modelData.text : ""
                    emptyIcon: "heart"
                }
            }
        }
    }
}
