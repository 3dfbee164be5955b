import QtQuick
import Nimbra

// The red line under a form's fields that says why its last action failed;
// it takes no room while there is nothing to say. The text may come from
// the service: never markup.
Text {
    visible: text !== ""
    textFormat: Text.PlainText
    wrapMode: Text.Wrap
    color: AppTheme.systemRed
    font: AppTheme.callout
}
