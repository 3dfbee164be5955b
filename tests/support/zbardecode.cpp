#include "zbardecode.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace nimbra::test {

bool hasZbarImg()
{
    return !QStandardPaths::findExecutable(u"zbarimg"_s).isEmpty();
}

std::optional<QString> decodeQrImage(const QImage &image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"code.png"_s);
    if (!dir.isValid() || !image.save(path))
        return std::nullopt;

    QProcess zbar;
    QSignalSpy finished(&zbar, &QProcess::finished);
    zbar.start(u"zbarimg"_s, {u"--raw"_s, u"-q"_s, path});
    if (!finished.wait(20000) || zbar.exitStatus() != QProcess::NormalExit || zbar.exitCode() != 0)
        return std::nullopt;
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    // --raw ends the data with one line break.
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

} // namespace nimbra::test
