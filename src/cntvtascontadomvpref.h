#pragma once
// The posting tool's window: the user picks a server, types a user name, a
// password and a company, chooses the dates and the invoice prefix, and
// starts the posting of the cash sales (F2 or the run button). Two hidden
// panels float above the fields: the progress panel (Panel5) and the tariff
// panel (CaptionPanel1), which holds the closing-adjustment editor.
//
// The window owns every component; CrearComponentes is its form description,
// which creates them in the order of the window's tables: the controls, then
// the data components. The handlers are the methods below, bound by name.

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TDataSource.h"
#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "data/TSQLConnection.h"
#include "data/TSQLQuery.h"
#include "data/TSQLTable.h"
#include "grid/TDBGrid.h"
#include "navigator/TDBNavigator.h"
#include "panel/TCaptionPanel.h"
#include "platform/widgets/TComboBox.h"
#include "platform/widgets/TDateTimePicker.h"
#include "platform/widgets/TEdit.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TGroupBox.h"
#include "platform/widgets/TLabel.h"
#include "platform/widgets/TPanel.h"
#include "platform/widgets/TSpeedButton.h"

#include <memory>
#include <string>

class Tfcontavtascontado : public TForm {
public:
    explicit Tfcontavtascontado(TComponent* Owner);
    ~Tfcontavtascontado() override;

    // Controls, in the order the form description creates them.
    TPanel* Panel2 = nullptr;
    TLabel* Label2 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label6 = nullptr;
    TComboBox* Servidor = nullptr;
    TEdit* Tusua = nullptr;
    TEdit* TClave = nullptr;
    TEdit* Cia = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label10 = nullptr;
    TLabel* Label11 = nullptr;
    TDateTimePicker* EFecIni = nullptr;
    TDateTimePicker* EFecFin = nullptr;
    TEdit* Pref = nullptr;
    TPanel* Panel1 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TPanel* Panel5 = nullptr;
    TCaptionPanel* CaptionPanel1 = nullptr;
    TDBGrid* DBGrid2 = nullptr;
    TDBNavigator* DBNavigator1 = nullptr;

    // Data components, in the order the form description creates them. The
    // persistent fields of CAjuste are owned by the window, like the rest.
    TSQLConnection* Talvero = nullptr;
    TSQLQuery* SQLQuery1 = nullptr;
    TDataSetProvider* PRepArticulos = nullptr;
    TClientDataSet* CRepArticulos = nullptr;
    TSQLTable* TAjuste = nullptr;
    TDataSetProvider* PAjuste = nullptr;
    TClientDataSet* CAjuste = nullptr;
    TIntegerField* CAjusteAJCI_ID = nullptr;
    TDateField* CAjusteAJCI_FECINI = nullptr;
    TDateField* CAjusteAJCI_FECFIN = nullptr;
    TFMTBCDField* CAjusteAJCI_PORC = nullptr;
    TFMTBCDField* CAjusteAJCI_FACTOR = nullptr;
    TDataSource* DAjuste = nullptr;
    TSQLQuery* QTarifas = nullptr;
    TDataSetProvider* Ptarifiva = nullptr;
    TClientDataSet* CTarifas = nullptr;

    // Handlers.
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void Enteratab(TObject* Sender, char& Key);
    // Leaving Cia or Pref with company, user and password filled connects
    // Talvero to that company's database, sets both dates to today and
    // enables the run button. Connection errors go to the default display.
    void CiaExit(TObject* Sender);
    // The posting run: calls contado_mverde_pref once with the dates and the
    // prefix as literals, says so when it posted nothing, and closes the
    // window. An error while opening leaves the window open.
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);

    // F5: opens the closing-adjustment editor (rebuilding the start date's
    // rows, one per VAT rate with the factor 0.8), or, when it is open, writes
    // it back with no error allowed and closes it.
    void AbrirCerrarAjuste();
    // F2 while the editor is open: hides it and writes its changes back with
    // no error limit; the posting run follows.
    void GuardarAjuste();

    // Wires the error handlers and the packet size into every provider and
    // client dataset that Component owns, walking owned components first.
    void ConfigurarProviders(TComponent* Component);

    // Every database error the error events see ends here: it is logged to
    // ERRORES.TXT, answered with rrAbort and shown as a Spanish message.
    // Sender is the provider that was writing, or null for an error of a
    // client dataset (DataSet). "Connection Closed Gracefully." is ignored.
    void ManejarError(TObject* Sender, TDataSet* DataSet, EDatabaseError& E, TUpdateKind UpdateKind,
                      TResolverResponse& Response);
    // OnEditError, OnPostError and OnDeleteError: abort, then ManejarError.
    void ManejarClientError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action);
    // A beep and Text in the progress panel, whether it shows or not.
    void mostrar_advertencia(const std::string& Text);
    // The installation directory from the registry, looked up afresh; shows
    // a message and gives "" when the key is missing.
    void diraplicacion(std::string& Directorio);

    // Adds the entries of a server file to Lista, reading it byte by byte:
    // CR or LF ends an entry, CR swallows the byte after it, text after the
    // last line end is dropped, a NUL ends the entry's text, nothing is
    // trimmed; the bytes are Windows-1252. An entry holds at most 255
    // characters: the rest of a longer line up to its line end is dropped.
    // A file that cannot be opened adds nothing.
    static void LeerServidores(const std::string& Archivo, TStrings& Lista);

    // The server list read at start-up (empty before), and the file it was
    // read from.
    const TStrings& Servidores() const;
    const std::string& ArchivoServidores() const { return FArchivoServidores; }

private:
    // A control of the form description, owned by owner and shown in parent.
    template <class T> static T* crear(TComponent* owner, const char* name, TWinControl* parent) {
        T* c = new T(owner);
        c->SetName(name);
        c->SetParent(parent);
        return c;
    }
    void CrearComponentes();
    void CrearComponentesDatos();
    void CrearEditorAjuste();
    void construirAjuste();
    void cerrarAjuste();
    // Appends one record for Message to ERRORES.TXT in the installation
    // directory; a record that cannot be written is dropped.
    void registrarError(const std::string& Message);

    std::unique_ptr<TStringList> FServidores;
    std::string FArchivoServidores;
    // CAjuste still holds what an F2 applied: its inserted rows keep the 0
    // the editor sent, not the keys the database gave them.
    bool FAjusteAplicado = false;
};

extern Tfcontavtascontado* fcontavtascontado;
