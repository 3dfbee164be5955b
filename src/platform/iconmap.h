#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <span>

namespace nimbra {

// The screens name their icons by the symbol names of the original design
// ("play.fill", "heart"); this table draws each of them with a glyph of the
// Material Icons font that Debian installs. It is the one place that knows the
// pairing: a new icon on a screen needs a row here, and the icon test fails
// until it has one.
class IconMap : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl fontUrl READ fontUrl CONSTANT)
public:
    struct Entry
    {
        QStringView symbol; // name the screens use
        QStringView ligature; // the font's own name for the glyph
        char16_t codePoint; // private-use code point of that glyph
    };

    using QObject::QObject;

    // The text that draws symbol in the icon font (one code point), or an empty
    // text for a name the table does not know.
    Q_INVOKABLE static QString glyph(const QString &symbol);
    // The font's ligature name for symbol, or an empty text.
    static QString ligature(QStringView symbol);

    static std::span<const Entry> entries();

    // Where the package installs the font, whether or not it is there.
    static QString fontPath();
    // A file URL of the font, or an empty URL when it is not installed, so that
    // a font loader given it stays quiet instead of warning.
    static QUrl fontUrl();
};

} // namespace nimbra
