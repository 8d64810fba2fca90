#pragma once
// The value of a field or a parameter as it travels between the layers. Exact
// numbers never pass through a double: currency and BCD values are scaled
// 64-bit integers.

#include "platform/DateUtils.h"

#include <cstdint>
#include <string>
#include <variant>

// A count of 1/10000: 0.8 is Currency{8000}.
struct Currency {
    int64_t Units = 0;
    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;
};

// Powers of ten, 10^0 to 10^18: the scales an exact decimal can have.
inline constexpr int64_t kPow10[19] = {1LL,
                                       10LL,
                                       100LL,
                                       1000LL,
                                       10000LL,
                                       100000LL,
                                       1000000LL,
                                       10000000LL,
                                       100000000LL,
                                       1000000000LL,
                                       10000000000LL,
                                       100000000000LL,
                                       1000000000000LL,
                                       10000000000000LL,
                                       100000000000000LL,
                                       1000000000000000LL,
                                       10000000000000000LL,
                                       100000000000000000LL,
                                       1000000000000000000LL};

// An exact decimal: Value x 10^-Scale, Scale 0..18.
struct TBcd {
    int64_t Value = 0;
    int Scale = 0;
    // Equal when they denote the same number, whatever the scales.
    friend bool operator==(const TBcd& a, const TBcd& b);
};

// Unassigned: no value at all (an unchanged field of a delta's changed row);
// Null: the SQL null.
struct Unassigned {
    friend constexpr bool operator==(Unassigned, Unassigned) { return true; }
};
struct Null {
    friend constexpr bool operator==(Null, Null) { return true; }
};

enum class TVarType { Unassigned, Null, Boolean, Integer, LargeInt, Double, Currency, Bcd, Date, String };

class Variant {
public:
    using Storage = std::variant<Unassigned, Null, bool, int32_t, int64_t, double, Currency, TBcd,
                                 TDateTime, std::string>;

    Variant() = default;
    Variant(Unassigned) {}
    Variant(Null v) : FValue(v) {}
    Variant(bool v) : FValue(v) {}
    Variant(int32_t v) : FValue(v) {}
    Variant(int64_t v) : FValue(v) {}
    Variant(double v) : FValue(v) {}
    Variant(Currency v) : FValue(v) {}
    Variant(TBcd v) : FValue(v) {}
    Variant(TDateTime v) : FValue(v) {}
    Variant(std::string v) : FValue(std::move(v)) {}
    Variant(const char* v) : FValue(std::string(v)) {}

    TVarType Type() const { return static_cast<TVarType>(FValue.index()); }
    bool IsUnassigned() const { return Type() == TVarType::Unassigned; }
    bool IsNull() const { return Type() == TVarType::Null; }
    // Null or unassigned: no value to read.
    bool IsEmpty() const { return IsUnassigned() || IsNull(); }

    template <class T> const T& Get() const { return std::get<T>(FValue); }
    template <class T> const T* GetIf() const { return std::get_if<T>(&FValue); }
    const Storage& Raw() const { return FValue; }

    friend bool operator==(const Variant& a, const Variant& b) { return a.FValue == b.FValue; }

private:
    Storage FValue;
};

// Conversions between the exact kinds; raise EConvertError on overflow.
TBcd BcdFromCurrency(Currency c);
Currency CurrencyFromBcd(const TBcd& b); // rounds half away from zero to 4 places
TBcd BcdRescale(const TBcd& b, int scale); // exact or EConvertError
double BcdToDouble(const TBcd& b);
// Shortest exact text: "0.8", "-12.5", "16"; the decimal separator as given.
std::string BcdToStr(const TBcd& b, char decimalSeparator = '.');
// Reads [-+]digits[sep digits]; false when it is not such a number or does not
// fit 18 digits.
bool TryStrToBcd(std::string_view s, TBcd& result, char decimalSeparator = '.');
