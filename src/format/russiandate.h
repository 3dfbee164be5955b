#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace nimbra {

// "5 декабря": the day of the month without a leading zero and the month's
// name in the genitive, as a Russian date is read. The names are our own,
// so the text does not depend on the locales the system has installed.
// Empty for an invalid date.
QString russianDayMonth(const QDate &date);

// "5 декабря 2024 г.": the long date, with the year. Empty for an invalid date.
QString russianLongDate(const QDate &date);

// The long date of a moment as it falls in the local time zone; nothing
// without a valid moment.
std::optional<QString> russianLocalLongDate(const std::optional<QDateTime> &moment);

} // namespace nimbra
