#pragma once
// Dates and times as the framework counts them: days since 30 December 1899,
// the time of day as the fraction of a day.

#include <string>
#include <string_view>

struct TDateTime {
    double Value = 0;

    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double value) : Value(value) {}
    constexpr double Val() const { return Value; }
    // Whole days: the date part, truncated toward zero as the framework does.
    int DatePart() const { return static_cast<int>(Value); }
    double TimePart() const;

    friend constexpr bool operator==(TDateTime a, TDateTime b) { return a.Value == b.Value; }
    friend constexpr auto operator<=>(TDateTime a, TDateTime b) { return a.Value <=> b.Value; }
};

// The regional settings the formatting functions read. One object for the
// process; the application fills it from the system locale at start-up and
// tests set it explicitly.
struct TFormatSettings {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongTimeFormat = "hh:nn:ss";
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
};

extern TFormatSettings FormatSettings;

// The C/POSIX defaults above, which the tests start from.
TFormatSettings DefaultFormatSettings();

bool TryEncodeDate(int year, int month, int day, TDateTime& result);
TDateTime EncodeDate(int year, int month, int day); // EConvertError when invalid
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// ---------------------------------------------------------------------------
// The clock. Now(), Date() and Time() are the program's only readers of the
// system clock: everything that shows or uses "today" (the dates a company
// connection sets, the error log's stamp, a two-digit year, a calendar that
// opens on today) asks them, never the C library or Qt, so that a test can
// fix the day and pass on any day of the year.
//
//   TFixedClock day(EncodeDate(2026, 11, 15));   // Date() is 15 November 2026
//   TFixedClock at(TDateTime(EncodeDate(2028, 2, 29).Val() + 0.5)); // noon
//
// While a TFixedClock lives, Now() returns exactly its moment: the fixed
// clock does not run. Guards nest; the innermost wins, and each gives back
// the clock it found. Set it on the thread that runs the code under test,
// before that code starts; it is not meant to change while another thread
// reads the clock.
//
// The test programs also read TALVERO_TEST_TODAY=yyyy-mm-dd and then run
// whole on that day (tests/support/today/TestToday.cpp).
// ---------------------------------------------------------------------------

// Local time from the system clock, or the fixed clock's moment.
TDateTime Now();
TDateTime Date(); // today, without time
TDateTime Time(); // the time of day, without date

class TFixedClock {
public:
    explicit TFixedClock(TDateTime now);
    ~TFixedClock();
    TFixedClock(const TFixedClock&) = delete;
    TFixedClock& operator=(const TFixedClock&) = delete;

private:
    bool FHadPrevious;
    TDateTime FPrevious;
};

// Format letters: d, dd, m, mm, yy, yyyy; h, hh, n, nn, s, ss; the separator
// characters "/" and ":" stand for the settings' separators; quoted text is
// copied as it stands.
std::string FormatDateTime(std::string_view format, TDateTime dt,
                           const TFormatSettings& settings = FormatSettings);
std::string DateToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings);
std::string TimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings);

// A year typed with one or two digits, taken in the window of 50 years
// around today's year (16 is 2016 in 2026; 80 is 1980).
int ExpandTwoDigitYear(int year);

// Reads a date in the order of the short date format (day, month, year in the
// order their letters appear), separated by the date separator. A two-digit
// year is taken in the window of 50 years around today. Raises EConvertError
// "'%s' is not a valid date".
TDateTime StrToDate(std::string_view s, const TFormatSettings& settings = FormatSettings);
bool TryStrToDate(std::string_view s, TDateTime& result,
                  const TFormatSettings& settings = FormatSettings);
// Reads h[:n[:s]] (blanks around it ignored) with the time separator, ":"
// taken too; hours 0 to 23.
bool TryStrToTime(std::string_view s, TDateTime& result,
                  const TFormatSettings& settings = FormatSettings);
// A date, or a date, one blank and a time, as a date-and-time value is
// shown; before 30 December 1899 the time counts away from zero as the day
// does.
bool TryStrToDateTime(std::string_view s, TDateTime& result,
                      const TFormatSettings& settings = FormatSettings);
