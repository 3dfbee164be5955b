#include "update/buildinfo.h"

using namespace Qt::StringLiterals;

#ifndef NIMBRA_VERSION
#define NIMBRA_VERSION "1.0"
#endif
#ifndef NIMBRA_BUILD_NUMBER
#define NIMBRA_BUILD_NUMBER "1"
#endif

namespace nimbra {

QString BuildInfo::version()
{
    const QString configured = QStringLiteral(NIMBRA_VERSION);
    return configured.isEmpty() ? u"1.0"_s : configured;
}

QString BuildInfo::build()
{
    const QString configured = QStringLiteral(NIMBRA_BUILD_NUMBER);
    return configured.isEmpty() ? u"1"_s : configured;
}

qint64 BuildInfo::buildNumber()
{
    return parseWholeNumber(build()).value_or(1);
}

QString BuildInfo::versionLine()
{
    return versionLine(version(), build());
}

QString BuildInfo::versionLine(const QString &version, const QString &build)
{
    return (version.isEmpty() ? u"1.0"_s : version) + u" ("_s + (build.isEmpty() ? u"1"_s : build) + u')';
}

std::optional<qint64> BuildInfo::parseWholeNumber(QStringView text)
{
    QStringView digits = text;
    if (digits.startsWith(u'+') || digits.startsWith(u'-'))
        digits = digits.mid(1);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    // Only the checked form reaches the parser, which still refuses a value
    // past 64 bits.
    bool ok = false;
    const qint64 value = text.startsWith(u'+') ? digits.toLongLong(&ok) : text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace nimbra
