// How the connection reads its parameter list: names without regard to
// case, values written back by name, booleans, the isolation key and the
// numbers.

#include "TSQLConnectionTestSupport.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

using connectiontest::ConfigureLikeTheWindow;

TEST(TSQLConnectionParams, CompanyConnectionReplacesTheStoredPasswordLine) {
    TSQLConnection c;
    ConfigureLikeTheWindow(c, "/srv/datos/01/talvero.fdb", "ana", "s3creta");
    const TStrings& p = c.Params();
    EXPECT_EQ(p.Count(), 13);
    EXPECT_EQ(p.Strings(3), "Database=/srv/datos/01/talvero.fdb");
    EXPECT_EQ(p.Strings(6), "password=s3creta"); // in place, spelled as set
    EXPECT_EQ(p.Strings(11), "User_Name=ana");
    EXPECT_EQ(p.IndexOfName("Password"), 6);
}

TEST(TSQLConnectionParams, EmptyValueRemovesTheLine) {
    TSQLConnection c;
    ConfigureLikeTheWindow(c, "/x.fdb");
    c.Params().SetValues("DATABASE", "");
    EXPECT_EQ(c.Params().IndexOfName("Database"), -1);
    EXPECT_EQ(c.Params().Count(), 12);
    try {
        c.Open();
        FAIL() << "opened without a database";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Missing Database property");
    }
}

TEST(TSQLConnectionParams, FirstMatchingLineCounts) {
    TSQLConnection c;
    c.SetDriverName("Interbase");
    c.Params().Add("BLOBSIZE=32");
    c.Params().Add("BlobSize=64");
    EXPECT_EQ(c.DefaultBlobSize(), 32);
}

TEST(TSQLConnectionParams, IsolationKeyFollowsTheDriverName) {
    struct Case {
        const char* DriverName;
        const char* Line;
        TTransIsolationLevel Level;
    } cases[] = {
        {"Interbase", "Interbase TransIsolation=ReadCommited", xilREADCOMMITTED},
        {"Interbase", "Interbase TransIsolation=RepeatableRead", xilREPEATABLEREAD},
        {"Interbase", "INTERBASE TRANSISOLATION=REPEATABLEREAD", xilREPEATABLEREAD},
        {"Interbase", "Interbase TransIsolation=DirtyRead", xilDIRTYREAD},
        {"Interbase", "Interbase TransIsolation=dirtyread", xilDIRTYREAD},
        {"Interbase", "Interbase TransIsolation= RepeatableRead", xilREADCOMMITTED},
        {"Interbase", "Interbase TransIsolation=Snapshot", xilREADCOMMITTED},
        {"Interbase", "Interbase TransIsolation=", xilREADCOMMITTED},
        {"Interbase", "Other TransIsolation=RepeatableRead", xilREADCOMMITTED},
        {"Other", "Other TransIsolation=RepeatableRead", xilREPEATABLEREAD},
        {"Interbase", "DriverName=RepeatableRead", xilREADCOMMITTED},
    };
    for (const Case& k : cases) {
        TSQLConnection c;
        c.SetDriverName(k.DriverName);
        c.Params().Add(k.Line);
        TTransactionDesc d = c.DefaultTransactionDesc();
        EXPECT_EQ(d.IsolationLevel, k.Level) << k.DriverName << " / " << k.Line;
        EXPECT_EQ(d.TransactionID, 1u);
    }
}

TEST(TSQLConnectionParams, LocaleCodeIsReadAsHexadecimal) {
    struct Case {
        const char* Line;
        int Code;
    } cases[] = {
        {"LocaleCode=0000", 0},
        {"LocaleCode=0409", 0x0409},
        {"localecode=0C0A", 0x0C0A},
        {"LocaleCode=", 0},
        {"Other=1", 0},
    };
    for (const Case& k : cases) {
        TSQLConnection c;
        c.Params().Add(k.Line);
        EXPECT_EQ(c.LocaleCode(), k.Code) << k.Line;
    }
    TSQLConnection c;
    c.Params().Add("LocaleCode=Spain");
    try {
        c.LocaleCode();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'$Spain' is not a valid integer value");
    }
}

TEST(TSQLConnectionParams, BlobSizeIsAnIntegerOrMinusOne) {
    TSQLConnection c;
    EXPECT_EQ(c.DefaultBlobSize(), -1);
    c.Params().Add("BlobSize=-1");
    EXPECT_EQ(c.DefaultBlobSize(), -1);
    c.Params().SetValues("BlobSize", " 16 ");
    EXPECT_EQ(c.DefaultBlobSize(), 16);
    c.Params().SetValues("BlobSize", "big");
    try {
        c.DefaultBlobSize();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'big' is not a valid integer value");
    }
}

TEST(TSQLConnectionParams, ParametersAreOnlyReadWhenConnecting) {
    // Nothing connects or checks anything while the list is edited.
    TSQLConnection c;
    c.Params().Add("SQLDialect=three");
    c.Params().Add("Database=/nowhere.fdb");
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(c.State(), TConnectionState::csStateClosed);
}
