import QtQuick
import Nimbra

// The two edit fields of the profile, "Сохранить" and the last save's line.
AccountCard {
    id: card

    required property ProfileModel model

    title: "Редактирование"

    FormTextField {
        objectName: "profileEmailField"
        width: parent.width
        placeholderText: "Email"
        text: card.model.email
        onTextEdited: card.model.email = text
    }

    FormTextField {
        objectName: "profileArtistField"
        width: parent.width
        placeholderText: "Имя исполнителя в каталоге"
        text: card.model.catalogArtistName
        onTextEdited: card.model.catalogArtistName = text
    }

    AccentButton {
        objectName: "profileSave"
        width: parent.width
        text: "Сохранить"
        busy: card.model.isSaving
        enabled: !card.model.isSaving
        onClicked: card.model.save()
    }

    // The last save's line under the button, so that the button stays
    // where it was pressed and a second press lands on it.
    FailureText {
        objectName: "profileError"
        width: parent.width
        text: card.model.errorText
        font: AppTheme.caption
    }

    Text {
        objectName: "profileSaved"
        width: parent.width
        visible: text !== ""
        text: card.model.saveMessage
        textFormat: Text.PlainText
        color: AppTheme.accentLight
        font: AppTheme.caption
    }
}
