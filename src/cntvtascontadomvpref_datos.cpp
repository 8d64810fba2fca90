// The window's data components and the handlers that use the connection:
// the company connection (CiaExit) and the posting run (SpeedButton3Click).

#include "cntvtascontadomvpref.h"

#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

namespace {

template <class T> T* crearDato(TComponent* owner, const char* name) {
    T* c = new T(owner);
    c->SetName(name);
    return c;
}

template <class T>
T* crearCampo(TComponent* owner, const char* name, TDataSet* dataSet, const char* fieldName) {
    T* f = crearDato<T>(owner, name);
    f->SetFieldName(fieldName);
    f->SetDataSet(dataSet);
    return f;
}

void configurarDecimal(TFMTBCDField* f, const char* label) {
    f->SetDisplayLabel(label);
    f->SetPrecision(15);
    f->SetSize(4);
}

} // namespace

// The second half of the form description: the data components in the order
// of the window's table, each wired to the others by name as the form
// stores them.
void Tfcontavtascontado::CrearComponentesDatos() {
    Talvero = crearDato<TSQLConnection>(this, "Talvero");
    Talvero->SetConnectionName("Talvero");
    Talvero->SetDriverName("Interbase");
    Talvero->SetLibraryName("libfbdriver.so");
    Talvero->SetGetDriverFunc("getSQLDriverINTERBASE");
    Talvero->SetVendorLib("libfbclient.so.2");
    Talvero->SetLoginPrompt(false);
    Talvero->SetLoadParamsOnConnect(false);
    Talvero->SetKeepConnection(true);
    // The stored parameters; CiaExit replaces Database, User_Name and
    // Password before every connection.
    for (const char* linea :
         {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False",
          "Database=C:\\TALvero\\sop\\talvero.fdb", "ErrorResourceFile=", "LocaleCode=0000",
          "Password=brackwold", "RoleName=RoleName", "ServerCharSet=", "SQLDialect=3",
          "Interbase TransIsolation=ReadCommited", "User_Name=sysdba", "WaitOnLocks=True"})
        Talvero->Params().Add(linea);

    SQLQuery1 = crearDato<TSQLQuery>(this, "SQLQuery1");
    SQLQuery1->SetSQLConnection(Talvero);
    SQLQuery1->SetMaxBlobSize(-1);

    PRepArticulos = crearDato<TDataSetProvider>(this, "PRepArticulos");
    PRepArticulos->SetDataSet(SQLQuery1);
    PRepArticulos->SetOptions({poAllowCommandText});

    CRepArticulos = crearDato<TClientDataSet>(this, "CRepArticulos");
    CRepArticulos->SetProviderName("PRepArticulos");

    TAjuste = crearDato<TSQLTable>(this, "TAjuste");
    TAjuste->SetSQLConnection(Talvero);
    TAjuste->SetTableName("AJUSTE_CIERRE");
    TAjuste->SetGetMetadata(false);
    TAjuste->SetMaxBlobSize(-1);

    PAjuste = crearDato<TDataSetProvider>(this, "PAjuste");
    PAjuste->SetDataSet(TAjuste);

    CAjuste = crearDato<TClientDataSet>(this, "CAjuste");
    CAjuste->SetProviderName("PAjuste");
    CAjusteAJCI_ID = crearCampo<TIntegerField>(this, "CAjusteAJCI_ID", CAjuste, "AJCI_ID");
    CAjusteAJCI_ID->SetRequired(true);
    CAjusteAJCI_FECINI = crearCampo<TDateField>(this, "CAjusteAJCI_FECINI", CAjuste, "AJCI_FECINI");
    CAjusteAJCI_FECINI->SetDisplayLabel("F.Desde");
    CAjusteAJCI_FECFIN = crearCampo<TDateField>(this, "CAjusteAJCI_FECFIN", CAjuste, "AJCI_FECFIN");
    CAjusteAJCI_FECFIN->SetDisplayLabel("F.Hasta");
    CAjusteAJCI_PORC = crearCampo<TFMTBCDField>(this, "CAjusteAJCI_PORC", CAjuste, "AJCI_PORC");
    configurarDecimal(CAjusteAJCI_PORC, "Porc");
    CAjusteAJCI_FACTOR =
        crearCampo<TFMTBCDField>(this, "CAjusteAJCI_FACTOR", CAjuste, "AJCI_FACTOR");
    configurarDecimal(CAjusteAJCI_FACTOR, "Factor");

    DAjuste = crearDato<TDataSource>(this, "DAjuste");
    DAjuste->SetDataSet(CAjuste);

    QTarifas = crearDato<TSQLQuery>(this, "QTarifas");
    QTarifas->SetSQLConnection(Talvero);
    QTarifas->SetMaxBlobSize(-1);

    Ptarifiva = crearDato<TDataSetProvider>(this, "Ptarifiva");
    Ptarifiva->SetDataSet(QTarifas);
    Ptarifiva->SetOptions({poAllowCommandText});

    CTarifas = crearDato<TClientDataSet>(this, "CTarifas");
    CTarifas->SetProviderName("Ptarifiva");
    CTarifas->SetCommandText("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
}

void Tfcontavtascontado::ConfigurarProviders(TComponent* Component) {
    for (int i = 0; i < Component->ComponentCount(); ++i) {
        TComponent* c = Component->Components(i);
        // A component that owns others is walked, not configured itself.
        if (c->ComponentCount() > 0) {
            ConfigurarProviders(c);
        } else if (auto* provider = dynamic_cast<TDataSetProvider*>(c)) {
            provider->OnUpdateError = [this](TObject* Sender, TClientDataSet* DataSet,
                                             EUpdateError& E, TUpdateKind UpdateKind,
                                             TResolverResponse& Response) {
                ManejarError(Sender, DataSet, E, UpdateKind, Response);
            };
        } else if (auto* client = dynamic_cast<TClientDataSet*>(c)) {
            client->SetPacketRecords(1000);
            auto manejar = [this](TDataSet* DataSet, EDatabaseError& E, TDataAction& Action) {
                ManejarClientError(DataSet, E, Action);
            };
            client->OnPostError = manejar;
            client->OnEditError = manejar;
            client->OnDeleteError = manejar;
        }
    }
}

// Catches nothing: a refused connection leaves the progress panel with the
// connecting text, the dates and the run button as they were, and the
// message goes to the default display.
void Tfcontavtascontado::CiaExit(TObject* Sender) {
    // Blanks count as filled; the server may be empty.
    if (Cia->Text().empty() || Tusua->Text().empty() || TClave->Text().empty()) return;
    Panel5->SetCaption("Conectando a la base de datos " + Cia->Text() + " ...");
    Panel5->SetVisible(true);
    // Nothing paints while the connection blocks the loop.
    Repaint();
    Talvero->SetConnected(false);
    Talvero->Params().SetValues("Database",
                                Servidor->Text() + "/datos/" + Cia->Text() + "/talvero.fdb");
    Talvero->Params().SetValues("User_Name", Tusua->Text());
    Talvero->Params().SetValues("password", TClave->Text());
    Talvero->SetConnected(true);
    EFecIni->SetDate(Date());
    EFecFin->SetDate(Date());
    Panel5->SetVisible(false);
    EFecIni->SetFocus();
    SpeedButton3->SetEnabled(true);
}

// The dates and the prefix travel as quoted literals, so whatever the prefix
// holds (quotes, semicolons, a statement) reaches the procedure as text.
// Every run that gets past opening ends the program; an error while opening
// leaves the window open with the progress panel showing.
void Tfcontavtascontado::SpeedButton3Click(TObject* Sender) {
    Panel5->SetCaption("Generando informe. espere un momento...");
    Panel5->SetVisible(true);
    Repaint();
    const std::string sentencia =
        "select * from contado_mverde_pref(" + QuotedStr(DateToStr(EFecIni->Date())) + ", " +
        QuotedStr(DateToStr(EFecFin->Date())) + ", " + QuotedStr(Pref->Text()) + ")";
    CRepArticulos->Close();
    CRepArticulos->SetCommandText(sentencia);
    CRepArticulos->Open();
    Panel5->SetVisible(false);
    Repaint();
    if (CRepArticulos->IsEmpty()) ShowMessage("No se pudo contabilizar las facturas.");
    CRepArticulos->Close();
    Close();
}
