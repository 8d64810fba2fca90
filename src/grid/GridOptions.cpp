#include "grid/GridOptions.h"

void TDBGridOptionSets::SetOptions(TDBGridOptions value) {
    FOptions = std::move(value);
    if (FOptions.contains(dgIndicator))
        FIndicatorOptions.insert(gioShowRowIndicator);
    else
        FIndicatorOptions.erase(gioShowRowIndicator);
    if (FOptions.contains(dgColumnResize)) {
        FOptionsEx.insert(dghColumnResize);
        FOptionsEx.insert(dghColumnMove);
    } else {
        FOptionsEx.erase(dghColumnResize);
        FOptionsEx.erase(dghColumnMove);
    }
}

void TDBGridOptionSets::SetOptionsEx(TDBGridOptionsEx value) {
    FOptionsEx = std::move(value);
    if (FOptionsEx.contains(dghColumnResize) && FOptionsEx.contains(dghColumnMove))
        FOptions.insert(dgColumnResize);
    else
        FOptions.erase(dgColumnResize);
}

void TDBGridOptionSets::SetIndicatorOptions(TIndicatorOptions value) {
    FIndicatorOptions = std::move(value);
    if (FIndicatorOptions.contains(gioShowRowIndicator))
        FOptions.insert(dgIndicator);
    else
        FOptions.erase(dgIndicator);
}

TGridOptions GridOptionsOf(const TDBGridOptionSets& sets) {
    TGridOptions result;
    if (sets.Has(dgColLines)) {
        result.insert(goFixedVertLine);
        result.insert(goVertLine);
    }
    if (sets.Has(dgRowLines)) {
        result.insert(goFixedHorzLine);
        result.insert(goHorzLine);
    }
    if (sets.Has(dghColumnResize)) result.insert(goColSizing);
    if (sets.Has(dghColumnMove)) result.insert(goColMoving);
    if (sets.Has(dgEditing)) result.insert(goEditing);
    if (sets.Has(dgTabs)) result.insert(goTabs);
    if (sets.Has(dghExtendVertLines)) result.insert(goExtendVertLines);
    // Always-show-editor, row select, row sizing and range selection stay
    // off: the data grid edits and selects through its own rules.
    return result;
}
