// The window's data components as its form description makes them, and the
// wiring of the error handlers and packet size at start-up.

#include "WindowFixture.h"

#include <typeindex>

namespace {

std::vector<std::string> ownedNamesFrom(TComponent* owner, const std::string& first) {
    std::vector<std::string> names;
    bool on = false;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        const std::string& n = owner->Components(i)->Name();
        on = on || n == first;
        if (on) names.push_back(n);
    }
    return names;
}

} // namespace

TEST_F(WindowTest, TheDataComponentsComeAfterTheControlsInTheOrderOfTheirTable) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(ownedNamesFrom(w, "Talvero"),
              (std::vector<std::string>{"Talvero", "SQLQuery1", "PRepArticulos", "CRepArticulos",
                                        "TAjuste", "PAjuste", "CAjuste", "CAjusteAJCI_ID",
                                        "CAjusteAJCI_FECINI", "CAjusteAJCI_FECFIN",
                                        "CAjusteAJCI_PORC", "CAjusteAJCI_FACTOR", "DAjuste",
                                        "QTarifas", "Ptarifiva", "CTarifas"}));
    EXPECT_EQ(w->FindComponent("CaptionPanel1")->Name(), "CaptionPanel1");
}

TEST_F(WindowTest, TheConnectionHoldsItsStoredSettingsAndParametersAndStartsClosed) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    TSQLConnection* c = w->Talvero;
    EXPECT_EQ(c->ConnectionName(), "Talvero");
    EXPECT_EQ(c->DriverName(), "Interbase");
    EXPECT_EQ(c->LibraryName(), "libfbdriver.so");
    EXPECT_EQ(c->GetDriverFunc(), "getSQLDriverINTERBASE");
    EXPECT_EQ(c->VendorLib(), "libfbclient.so.2");
    EXPECT_FALSE(c->LoginPrompt());
    EXPECT_FALSE(c->LoadParamsOnConnect());
    EXPECT_TRUE(c->KeepConnection());
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(
        c->Params().Lines(),
        (std::vector<std::string>{
            "DriverName=Interbase", "BlobSize=-1", "CommitRetain=False",
            "Database=C:\\TALvero\\sop\\talvero.fdb", "ErrorResourceFile=", "LocaleCode=0000",
            "Password=brackwold", "RoleName=RoleName", "ServerCharSet=", "SQLDialect=3",
            "Interbase TransIsolation=ReadCommited", "User_Name=sysdba", "WaitOnLocks=True"}));
}

TEST_F(WindowTest, TheChainsAreWiredByName) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    for (TCustomSQLDataSet* d : {static_cast<TCustomSQLDataSet*>(w->SQLQuery1),
                                 static_cast<TCustomSQLDataSet*>(w->TAjuste),
                                 static_cast<TCustomSQLDataSet*>(w->QTarifas)}) {
        EXPECT_EQ(d->SQLConnection(), w->Talvero) << d->Name();
        EXPECT_EQ(d->MaxBlobSize(), -1) << d->Name();
    }
    EXPECT_EQ(w->TAjuste->TableName(), "AJUSTE_CIERRE");
    EXPECT_FALSE(w->TAjuste->GetMetadata());

    struct Chain {
        TClientDataSet* Client;
        const char* Provider;
        TDataSet* DataSet;
        TProviderOptions Options;
        const char* CommandText;
    };
    const Chain chains[] = {
        {w->CRepArticulos, "PRepArticulos", w->SQLQuery1, {poAllowCommandText}, ""},
        {w->CAjuste, "PAjuste", w->TAjuste, {}, ""},
        {w->CTarifas,
         "Ptarifiva",
         w->QTarifas,
         {poAllowCommandText},
         "SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA"},
    };
    for (const Chain& c : chains) {
        EXPECT_EQ(c.Client->ProviderName(), c.Provider);
        auto* provider = dynamic_cast<TDataSetProvider*>(w->FindComponent(c.Provider));
        ASSERT_NE(provider, nullptr) << c.Provider;
        EXPECT_EQ(provider->DataSet(), c.DataSet) << c.Provider;
        EXPECT_EQ(provider->Options(), c.Options) << c.Provider;
        EXPECT_EQ(provider->UpdateMode(), upWhereAll) << c.Provider;
        EXPECT_EQ(c.Client->CommandText(), c.CommandText) << c.Provider;
        EXPECT_FALSE(c.Client->Active()) << c.Provider;
    }
    EXPECT_EQ(w->DAjuste->DataSet(), w->CAjuste);
}

TEST_F(WindowTest, CAjusteHasItsPersistentFields) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    struct FieldRow {
        const char* Name;
        const char* FieldName;
        std::type_index Class;
        const char* DisplayName;
        bool Required;
    };
    const FieldRow rows[] = {
        {"CAjusteAJCI_ID", "AJCI_ID", typeid(TIntegerField), "AJCI_ID", true},
        {"CAjusteAJCI_FECINI", "AJCI_FECINI", typeid(TDateField), "F.Desde", false},
        {"CAjusteAJCI_FECFIN", "AJCI_FECFIN", typeid(TDateField), "F.Hasta", false},
        {"CAjusteAJCI_PORC", "AJCI_PORC", typeid(TFMTBCDField), "Porc", false},
        {"CAjusteAJCI_FACTOR", "AJCI_FACTOR", typeid(TFMTBCDField), "Factor", false},
    };
    ASSERT_EQ(w->CAjuste->FieldCount(), 5);
    for (int i = 0; i < 5; ++i) {
        const FieldRow& r = rows[i];
        TField* f = w->CAjuste->Fields(i);
        EXPECT_EQ(f, w->FindComponent(r.Name)) << r.Name;
        EXPECT_EQ(f->Owner(), w) << r.Name;
        EXPECT_EQ(f->FieldName(), r.FieldName);
        EXPECT_EQ(std::type_index(typeid(*f)), r.Class) << r.Name;
        EXPECT_EQ(f->DisplayName(), r.DisplayName);
        EXPECT_EQ(f->Required(), r.Required) << r.Name;
        if (auto* bcd = dynamic_cast<TFMTBCDField*>(f)) {
            EXPECT_EQ(bcd->Precision(), 15) << r.Name;
            EXPECT_EQ(bcd->Size(), 4) << r.Name;
        }
    }
    EXPECT_EQ(w->CAjusteAJCI_ID->DisplayLabel(), "");
}

TEST_F(WindowTest, StartUpWiresEveryProviderAndClientDataset) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    for (TDataSetProvider* p : {w->PRepArticulos, w->PAjuste, w->Ptarifiva})
        EXPECT_TRUE(p->OnUpdateError) << p->Name();
    for (TClientDataSet* c : {w->CRepArticulos, w->CAjuste, w->CTarifas}) {
        EXPECT_EQ(c->PacketRecords(), 1000) << c->Name();
        EXPECT_TRUE(c->OnPostError) << c->Name();
        EXPECT_TRUE(c->OnEditError) << c->Name();
        EXPECT_TRUE(c->OnDeleteError) << c->Name();
    }
}

TEST_F(WindowTest, ConfigurarProvidersWalksOwnersWithoutConfiguringThem) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    // A client dataset that owns a component is walked, not configured; what
    // it owns and what a plain component owns are configured.
    auto* owningClient = new TClientDataSet(w);
    auto* ownedProvider = new TDataSetProvider(owningClient);
    auto* holder = new TComponent(w);
    auto* deepHolder = new TComponent(holder);
    auto* deepClient = new TClientDataSet(deepHolder);
    w->ConfigurarProviders(w);
    EXPECT_EQ(owningClient->PacketRecords(), -1);
    EXPECT_FALSE(owningClient->OnPostError);
    EXPECT_TRUE(ownedProvider->OnUpdateError);
    EXPECT_EQ(deepClient->PacketRecords(), 1000);
    EXPECT_TRUE(deepClient->OnDeleteError);
    EXPECT_FALSE(holder->ComponentCount() == 0);
}
