#pragma once
// Conversions between the value kinds that fields share: reading a Variant of
// any stored kind as a number, a decimal or a date, and the number texts of
// the fields. Internal to the field classes.

#include "data/engine/Variant.h"

#include <string>
#include <string_view>

namespace fieldvalues {

// False when the kind is not numeric (or the value does not fit).
bool ToInt64(const Variant& v, int64_t& out);
bool ToDouble(const Variant& v, double& out);
bool ToBcd(const Variant& v, TBcd& out);

// Exact decimal text with the separator, for a double: its shortest
// round-trip form ("0.1" stays "0.1").
bool TryTextToDouble(std::string_view text, char decimalSeparator, double& out);
// A double as an exact decimal of at most 18 digits, rounded to `scale`
// decimals; false when it does not fit.
bool DoubleToBcd(double v, int scale, TBcd& out);
// b rounded half away from zero to `scale` decimals (never more than it has).
TBcd RoundBcd(const TBcd& b, int scale);
// Digits of the integer part of b (0 for |b| < 1).
int IntegerDigits(const TBcd& b);

} // namespace fieldvalues
