#include "platform/Classes.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

TEST(QuotedStr, DoublesInnerQuotes) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"FV", "'FV'"},
        {"", "''"},
        {"O'Brien", "'O''Brien'"},
        {"'", "''''"},
        {"x'); delete from t; --", "'x''); delete from t; --'"},
    };
    for (const Case& c : cases) EXPECT_EQ(QuotedStr(c.in), c.out) << c.in;
}

TEST(StrToInt, ReadsDecimalAndHexAndRefusesTheRest) {
    EXPECT_EQ(StrToInt("3"), 3);
    EXPECT_EQ(StrToInt(" -1 "), -1);
    EXPECT_EQ(StrToInt("$0000"), 0);
    EXPECT_EQ(StrToInt("$1F"), 31);
    try {
        StrToInt("tres");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'tres' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
}

TEST(Format, FillsMarkersInOrderAndByIndex) {
    EXPECT_EQ(Format("Unable to Load %s", {"libfbdriver.so"}), "Unable to Load libfbdriver.so");
    EXPECT_EQ(Format(" %s%s%s%1:s = ?,", {"", "\"", "AJCI_ID"}), " \"AJCI_ID\" = ?,");
    EXPECT_EQ(Format("100%% %s", {"x"}), "100% x");
}

TEST(Copy, CountsCharactersNotBytes) {
    EXPECT_EQ(Copy("Compañía", 6, 3), "ñía");
    EXPECT_EQ(CharLength("Compañía"), 8u);
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 5, 1), "");
}

TEST(TStrings, ValuesFollowTheReadingRules) {
    TStringList p;
    p.Add("DriverName=Interbase");
    p.Add("Password=brackwold");
    p.Add("User_Name=sysdba");
    p.Add("password=second");

    EXPECT_EQ(p.Values("PASSWORD"), "brackwold") << "first match counts, any case";
    p.SetValues("password", "secreta");
    EXPECT_EQ(p.Strings(1), "password=secreta") << "rewritten with the name as given";
    EXPECT_EQ(p.Count(), 4);
    p.SetValues("RoleName", "R");
    EXPECT_EQ(p.Strings(4), "RoleName=R");
    p.SetValues("user_name", "");
    EXPECT_EQ(p.Count(), 4);
    EXPECT_EQ(p.IndexOfName("User_Name"), -1);
    p.SetValues("NotThere", "");
    EXPECT_EQ(p.Count(), 4);
    EXPECT_EQ(p.Values("NotThere"), "");
}

TEST(CodePage, RoundTripsWindows1252) {
    std::string bytes = "Compa\xF1\xED" "a \x80 \x93x\x94";
    std::string utf8 = Win1252ToUtf8(bytes);
    EXPECT_EQ(utf8, "Compañía € “x”");
    EXPECT_EQ(Utf8ToWin1252(utf8), bytes);
    EXPECT_EQ(Utf8ToWin1252("日本"), "??");
}

TEST(TComponent, OwnerFreesAndFinds) {
    auto* owner = new TComponent(nullptr);
    auto* a = new TComponent(owner);
    a->SetName("CAjuste");
    auto* b = new TComponent(owner);
    b->SetName("PAjuste");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(owner->FindComponent("pajuste"), b);
    delete a;
    EXPECT_EQ(owner->ComponentCount(), 1);
    delete owner; // frees b; ASan reports a leak or double free otherwise
}
