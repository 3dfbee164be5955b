import QtQuick
import QtQuick.Controls
import Nimbra

// The "Настройки" section: the service's address, the account, the
// crossfade length, the client's own updates and the running build.
Item {
    id: screen
    objectName: "settingsView"

    // The widest the sections run.
    readonly property real columnWidth: 620
    // Room for the longest crossfade label ("10 с").
    readonly property real crossfadeLabelWidth: 40

    SettingsModel {
        id: settings
        objectName: "settingsModel"
    }

    // Text typed and not saved goes when the screen comes back.
    onVisibleChanged: if (visible) settings.reloadAddress()

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    ScrollView {
        id: scroll
        objectName: "settingsScroll"
        anchors.fill: parent
        contentWidth: availableWidth

        Column {
            x: AppTheme.sectionMargin
            width: Math.min(scroll.availableWidth - 2 * AppTheme.sectionMargin, screen.columnWidth)
            spacing: AppTheme.spacingXL
            topPadding: AppTheme.sheetMargin
            bottomPadding: AppTheme.scrollEndPadding

            Text {
                objectName: "sectionTitle"
                text: "Настройки"
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
            }

            SettingsSection {
                width: parent.width
                title: "Сервер"

                FormTextField {
                    objectName: "baseUrlField"
                    width: parent.width
                    placeholderText: "URL API"
                    text: settings.baseUrlText
                    onTextEdited: settings.baseUrlText = text
                }

                Text {
                    text: "Документация: " + settings.documentationHost
                    color: AppTheme.textSecondary
                    font: AppTheme.caption
                }

                AccentButton {
                    objectName: "saveAddress"
                    text: "Сохранить адрес"
                    onClicked: settings.saveAddress()
                }

                // Under the button, so that the button stays where it was
                // pressed and a second press lands on it.
                FailureText {
                    objectName: "addressError"
                    width: parent.width
                    text: settings.addressError
                }
            }

            SettingsAccountSection {
                width: parent.width
                model: settings
            }

            SettingsSection {
                width: parent.width
                title: "Воспроизведение"

                Item {
                    width: parent.width
                    height: crossfadeRow.height

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Кроссфейд"
                        color: AppTheme.textPrimary
                        font: AppTheme.body
                    }

                    Row {
                        id: crossfadeRow
                        anchors.right: parent.right
                        spacing: AppTheme.spacingM

                        CrossfadeSlider {
                            objectName: "crossfadeSlider"
                            anchors.verticalCenter: parent.verticalCenter
                            value: settings.crossfadeValue
                            onMoved: settings.setCrossfade(value)
                        }

                        Text {
                            objectName: "crossfadeLabel"
                            anchors.verticalCenter: parent.verticalCenter
                            width: screen.crossfadeLabelWidth
                            horizontalAlignment: Text.AlignRight
                            text: settings.crossfadeLabel
                            color: settings.crossfadeLabelPrimary ? AppTheme.textPrimary : AppTheme.textSecondary
                            font: AppTheme.systemFont(AppTheme.body.pixelSize)
                        }
                    }
                }
            }

            SettingsUpdatesSection {
                width: parent.width
                model: settings
            }

            SettingsSection {
                width: parent.width
                title: "О приложении"

                InfoRow {
                    objectName: "versionRow"
                    width: parent.width
                    label: "Версия"
                    labelColor: AppTheme.textPrimary
                    value: settings.versionLine
                }

                InfoRow {
                    objectName: "apiHostRow"
                    width: parent.width
                    label: "API"
                    labelColor: AppTheme.textPrimary
                    value: settings.apiHost
                }
            }
        }
    }
}
