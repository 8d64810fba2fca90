#pragma once
// The search request of the grid's text-locate operation: what the
// incremental search and the find dialog ask the grid to find. The operation
// itself is TDBGridCenter::LocateText (TDBGridCenter.h).

#include <string>

enum TLocateTextOption : unsigned {
    ltoCaseInsensitive = 1,
    // Every visible column, stepping cell by cell, instead of one column.
    ltoAllFields = 2,
    // The text each cell shows; without it the field's plain string value.
    ltoMatchFormat = 4,
    // Stop, not found, when an Esc press waits for the grid's window.
    ltoStopOnEsc = 16,
};
using TLocateTextOptions = unsigned;

enum TLocateTextDirection { ltdUp = 0, ltdDown = 1, ltdAll = 2 };

enum TLocateTextMatchType { ltmAnywhere = 0, ltmWhole = 1, ltmFromBeginning = 2 };

// For datasets with a tree view; carried and ignored.
enum TLocateTextTreeFindRange {
    lttInAllNodes = 0,
    lttInExpandedNodes = 1,
    lttInCurrentLevel = 2,
    lttInCurrentNode = 3,
};

struct TLocateTextRequest {
    // The field whose column is searched; empty for the grid's selected
    // column. A name no visible column shows is an error.
    std::string FieldName;
    std::string Text;
    TLocateTextOptions Options = 0;
    // All starts at the first record; up and down start one step away from
    // the current cell, so that it is never found again.
    TLocateTextDirection Direction = ltdAll;
    TLocateTextMatchType Matching = ltmAnywhere;
    TLocateTextTreeFindRange TreeFindRange = lttInAllNodes;
};

// "Field name '%s' not found": a request for a field no visible column shows.
inline constexpr const char* SFieldNameNotFound = "Field name '%s' not found";
