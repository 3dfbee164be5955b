#pragma once

#include <QString>

namespace nimbra {

// The one rule for a time the player reads from a backend or a record: a
// time that is not finite or lies before 0 counts as 0.
double sanitizedSeconds(double seconds);

// "m:ss": whole minutes (as many as there are, an hour is "60:00") and
// two-digit seconds, the fraction dropped; a time sanitizedSeconds() turns
// into 0 reads "0:00".
QString durationText(double seconds);

// "12 с": the whole seconds, the fraction dropped.
QString wholeSecondsText(double seconds);

} // namespace nimbra
