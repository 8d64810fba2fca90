#pragma once
// The filter-expression compiler: filter and locate text compiled against a
// dataset's fields into the tree the engine evaluates.
//
// Covers comparisons (=, <>, <, <=, >, >=) of fields with constants or other
// fields, "and", "or", "not", "is null" / "is not null", brackets, and field
// names in square brackets ("[AJCI_PORC]=0,19"). Text constants are quoted
// with single quotes (a doubled quote inside); a text constant compared with a
// date field is read as a date in the short date format of the settings when
// the filter is compiled; numbers use the settings' decimal separator or ".".
// Errors are EDatabaseError with the compiler's text, among them
// "Type mismatch in expression" and "Field '%s' not found". A blank text
// compiles to a null expression, which a cursor takes as "every row".

#include "data/engine/DSIntf.h"
#include "platform/DateUtils.h"

#include <string_view>

struct TFilterOptions {
    bool CaseInsensitive = false; // text comparisons ignore letter case
    bool PartialCompare = false;  // a text constant ending in "*" matches as a prefix
};

DSExprPtr CompileFilterExpression(std::string_view text, const TDSRecordLayout& layout,
                                  const TFilterOptions& options = {},
                                  const TFormatSettings& settings = FormatSettings);
