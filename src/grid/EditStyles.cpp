#include "grid/EditStyles.h"

#include "data/TField.h"
#include "data/TNumericFields.h"

bool IsDateType(TFieldType type) {
    return type == ftDate || type == ftDateTime || type == ftTimeStamp;
}

TEditStyle EditStyleFor(const TEditStyleSource& source) {
    const bool date = source.Field && IsDateType(source.Field->DataType());
    switch (source.ButtonStyle) {
    case cbsAuto:
        if (source.UsableLookup) return esDataList;
        if (source.HasPickList && !source.ColumnReadOnly) return esPickList;
        if (date && !source.ColumnReadOnly) return esDateCalendar;
        return esSimple;
    case cbsEllipsis:
        return esEllipsis;
    case cbsNone:
        return esSimple;
    case cbsUpDown:
        return esUpDown;
    case cbsDropDown:
        return esDropDown;
    case cbsAltUpDown:
        return esAltUpDown;
    case cbsAltDropDown:
        return date ? esAltDateCalendar : esAltDropDown;
    }
    return esSimple;
}

bool HasEditButton(TEditStyle style) {
    return style != esSimple;
}

TEditButtonStyle EditButtonStyleOf(TEditStyle style) {
    switch (style) {
    case esEllipsis:
        return ebsEllipsis;
    case esUpDown:
        return ebsUpDown;
    case esAltUpDown:
        return ebsAltUpDown;
    case esAltDropDown:
    case esAltDateCalendar:
        return ebsAltDropDown;
    default:
        return ebsDropDown;
    }
}

TEditDropDown DropDownOf(TEditStyle style, const TField* field) {
    switch (style) {
    case esDataList:
        return eddLookupGrid;
    case esPickList:
        return eddListBox;
    case esDateCalendar:
    case esAltDateCalendar:
        return eddMonthCalendar;
    case esDropDown:
    case esAltDropDown:
        return dynamic_cast<const TNumericField*>(field) ? eddCalculator : eddNone;
    default:
        return eddNone;
    }
}
