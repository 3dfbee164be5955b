import QtQuick
import Nimbra

// The bar at the top of a pushed page that is no list page (a page's
// placeholder): "Назад", which asks Navigation to go back, and the page's
// title.
PageTitleRow {
    pushed: true
}
