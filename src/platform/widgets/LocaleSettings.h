#pragma once
// The regional settings of a locale, in the suite's format letters.

#include "platform/DateUtils.h"

#include <QLocale>

// The short date and long time formats, separators and number separators of
// the locale. Years always have four digits; times are on 24 hours with
// seconds. The C/POSIX locale gives the defaults (DefaultFormatSettings):
// "dd/mm/yyyy", "hh:nn:ss", "/", ":" and "," as the decimal separator.
TFormatSettings FormatSettingsFromLocale(const QLocale& locale);
