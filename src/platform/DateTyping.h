#pragma once
// What digits typed into a date field make of its date; the date picker
// feeds it the keys and shows what it says.
//
// The field shows the day, the month and the year in the order of the short
// date format. Digits fill the section at the cursor and move on to the next
// when it is full: two digits for the day and the month (or one that no
// second digit could extend: 4 to 9 for a day, 2 to 9 for a month), four for
// the year (two with a two-digit year format, read in the window around
// today). The separator ends a section early.
//
// A typed day is judged against the month and year the user goes on to type,
// never against those shown while typing: 31 typed over a November date waits
// for its month, and 29 typed with month 02 over 2026 waits for its year. The
// entry is judged when it ends, once: the field's date only ever becomes the
// whole date typed, when it exists; digits that make none (31/04, 30/02,
// 29/02/2027, month 13, day 00) are impossible, and the field keeps the date
// it had before the entry.

#include "platform/DateUtils.h"

#include <string>

class TDateTyping {
public:
    enum TSection { dsDay, dsMonth, dsYear };
    enum TOutcome {
        toWaiting,    // the digits are shown; the entry goes on
        toDate,       // the whole entry makes a date that exists: Result()
        toImpossible, // no date can come of them: the field keeps the date it had
    };
    // The field's date changes only when the entry ends (the last section is
    // filled, or Finish): a date half typed is never the field's value.

    // Starts typing over the date the field shows, at the section under the
    // cursor. The result must lie between first and last (the field's range).
    TDateTyping(TDateTime shown, TSection at, const TFormatSettings& settings, TDateTime first,
                TDateTime last);

    // One digit, '0' to '9'.
    TOutcome Type(char digit);
    // The separator: the section at the cursor ends as typed so far (nothing
    // when no digit went into it yet: a full section moved on by itself).
    TOutcome EndSection();
    // The typing ends (another key, the focus leaves, the value is read): the
    // section at the cursor ends as typed, the others keep what they show.
    TOutcome Finish();
    // The last section has been filled; a further digit starts a new typing.
    bool Done() const { return FPosition > 2; }

    // The date the digits make, when the last outcome was toDate.
    TDateTime Result() const { return FResult; }
    // Where the next digit goes (the last section once Done).
    TSection Section() const { return FOrder[FPosition > 2 ? 2 : FPosition]; }
    // The sections as the field shows them now, in the short date format.
    std::string Text() const;
    // Where a section stands in Text(), in bytes.
    struct TSpan {
        int Start = 0;
        int Length = 0;
    };
    TSpan SpanOf(TSection section) const;

private:
    void endSection();
    TOutcome judge();
    bool exists(int day, int month, int year) const;
    int width(TSection section) const;
    std::string textOf(TSection section, int letters) const;
    std::string layout(TSpan spans[3]) const;

    TFormatSettings FSettings;
    TDateTime FFirst, FLast, FResult;
    TSection FOrder[3];
    int FValue[3];       // by TSection: what each section holds now
    int FPosition;       // index into FOrder of the section at the cursor; 3 when Done
    std::string FDigits; // typed into the section at the cursor so far
    bool FTwoDigitYear = false;
};
