#pragma once
// How a cell is edited: the column's ButtonStyle and its field give one of
// ten edit styles, and the style gives the editor's button and drop-down.
//
//   ButtonStyle     field                                  edit style
//   cbsAuto         usable lookup field                    esDataList
//   cbsAuto         PickList not empty, column writable    esPickList
//   cbsAuto         date, date-time or timestamp, writable esDateCalendar
//   cbsAuto         anything else, or no field             esSimple
//   cbsEllipsis     any                                    esEllipsis
//   cbsNone         any                                    esSimple
//   cbsUpDown       any                                    esUpDown
//   cbsDropDown     any                                    esDropDown
//   cbsAltUpDown    any                                    esAltUpDown
//   cbsAltDropDown  date, date-time or timestamp           esAltDateCalendar
//   cbsAltDropDown  other or no field                      esAltDropDown

#include "data/FieldType.h"

class TField;

enum TColumnButtonStyle {
    cbsAuto,
    cbsEllipsis,
    cbsNone,
    cbsUpDown,
    cbsDropDown,
    cbsAltUpDown,
    cbsAltDropDown,
};

enum TEditStyle {
    esSimple,
    esEllipsis,
    esPickList,
    esDataList,
    esDateCalendar,
    esUpDown,
    esDropDown,
    esAltUpDown,
    esAltDropDown,
    esAltDateCalendar,
};

// The look and role of one button of the editor.
enum TEditButtonStyle {
    ebsDropDown,
    ebsEllipsis,
    ebsUpDown,
    ebsAltDropDown,
    ebsAltUpDown,
};

// What opens under the editor.
enum TEditDropDown {
    eddNone,
    eddMonthCalendar,
    eddListBox,
    eddLookupGrid,
    eddCalculator,
};

// What the style table needs to know of a column and its field.
struct TEditStyleSource {
    TColumnButtonStyle ButtonStyle = cbsAuto;
    const TField* Field = nullptr;
    // A lookup field with key fields, on an active data link that is not
    // read-only.
    bool UsableLookup = false;
    bool HasPickList = false;
    bool ColumnReadOnly = false;
};

TEditStyle EditStyleFor(const TEditStyleSource& source);
bool IsDateType(TFieldType type);
// Every style but the plain one has a button.
bool HasEditButton(TEditStyle style);
TEditButtonStyle EditButtonStyleOf(TEditStyle style);
// The calculator only for a numeric field.
TEditDropDown DropDownOf(TEditStyle style, const TField* field);
