#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace nimbra {

namespace {

QClipboard *clipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

void Clipboard::setText(const QString &text)
{
    if (QClipboard *board = clipboard())
        board->setText(text);
}

QString Clipboard::text()
{
    QClipboard *board = clipboard();
    return board ? board->text() : QString();
}

} // namespace nimbra
