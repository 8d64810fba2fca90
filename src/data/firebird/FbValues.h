#pragma once
// How described columns and their values map to the driver's logical types,
// and the date arithmetic between the two calendars: Firebird counts days
// from 17 November 1858 and time in 1/10000 s, the framework days from
// 30 December 1899 with the time as the fraction of a day.

#include "data/DriverIntf.h"

#include <ibase.h>

namespace fb {

// The logical type of a described column or parameter.
TDBXColumn DescribeColumn(const XSQLVAR& var);

// The scalar value a fetched variable holds (every type but blobs and arrays,
// which the cursor reads itself). Text is turned into UTF-8 from the charset
// the variable is described in; CHAR values keep their padding up to the
// column's width unless trimChar asks to drop it. Returns false for a type
// the driver cannot read.
bool ReadScalar(const XSQLVAR& var, bool trimChar, TDBXValue& value);

// Days and time of day of a framework date-time, and back. The fraction of
// a negative date-time counts forward from the start of its day, as the
// framework's date-times do.
void SplitDateTime(TDateTime dt, ISC_DATE& date, ISC_TIME& time);
TDateTime JoinDateTime(ISC_DATE date, ISC_TIME time);

// The character set of a text variable or a text blob.
int TextCharset(const XSQLVAR& var);

} // namespace fb
