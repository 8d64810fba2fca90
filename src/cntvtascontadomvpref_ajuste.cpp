// The closing-adjustment editor: the grid and the navigator in the tariff
// panel, and the F5 and F2 handling that builds the start date's rows of
// AJUSTE_CIERRE and writes them back.

#include "cntvtascontadomvpref.h"

#include "platform/SysUtils.h"

namespace {

// The factor every built row starts from.
constexpr Currency kFactorInicial{8000};

} // namespace

// Part of the form description: the editor's controls in the tariff panel.
// Their data source is set once the data components exist.
void Tfcontavtascontado::CrearEditorAjuste() {
    DBGrid2 = crear<TDBGrid>(this, "DBGrid2", CaptionPanel1);
    DBGrid2->SetBounds(1, 19, 303, 131);
    DBGrid2->SetAlign(alClient);
    DBGrid2->SetOptionsEx({dghFixed3D, dghHighlightFocus, dghClearSelection, dghEnterAsTab,
                           dghIncSearch, dghDialogFind, dghColumnResize, dghColumnMove,
                           dghExtendVertLines});
    DBGrid2->SetIndicatorOptions({gioShowRowIndicator});
    DBGrid2->SetFlat(false);
    DBGrid2->SetTitleFont(TFont("MS Sans Serif", -11, clWindowText));
    DBGrid2->SetTabOrder(0);
    // AJCI_ID has no column: the titles are the fields' display labels.
    for (const char* campo : {"AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR"})
        DBGrid2->Columns().Add()->SetFieldName(campo);

    DBNavigator1 = crear<TDBNavigator>(this, "DBNavigator1", CaptionPanel1);
    DBNavigator1->SetBounds(1, 150, 303, 18);
    DBNavigator1->SetAlign(alBottom);
    DBNavigator1->SetVisibleButtons(
        {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbCancel});
    DBNavigator1->SetTabOrder(1);
    DBNavigator1->SetTabStop(false);
    DBNavigator1->SetShowHint(false);
}

void Tfcontavtascontado::AbrirCerrarAjuste() {
    if (CaptionPanel1->Visible())
        cerrarAjuste();
    else
        construirAjuste();
}

// Rebuilds the start date's rows in CAjuste's change log: every shown row is
// deleted, then each rate of TARIFA_IVA gets a row with the factor 0.8 (a row
// of the same rate to four decimals is edited instead of added). An error of
// the error events aborts the build where it stands: the panel stays hidden
// and CAjuste open with what the build did.
void Tfcontavtascontado::construirAjuste() {
    // After an F2 whose posting run failed the dataset is still open, but
    // its rows are not the database's: deleting them by the where clause of
    // what it holds would match nothing. The build reads the table afresh.
    // A build that an error ended applied nothing and keeps what it holds.
    if (FAjusteAplicado) {
        FAjusteAplicado = false;
        CAjuste->Close();
    }
    CAjuste->SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(EFecIni->Date())));
    CAjuste->SetFiltered(true);
    CAjuste->Open();
    while (!CAjuste->Eof())
        CAjuste->Delete();

    if (!CTarifas->Active()) CTarifas->Open();
    CTarifas->First();
    while (!CTarifas->Eof()) {
        const Currency tasa = CTarifas->Fields(0)->AsCurrency();
        if (CAjuste->Locate("AJCI_PORC", Variant(tasa), 0)) {
            CAjuste->Edit();
            CAjusteAJCI_FACTOR->SetAsCurrency(kFactorInicial);
            CAjuste->Post();
        } else {
            CAjuste->Insert();
            CAjusteAJCI_ID->SetAsInteger(0);
            CAjusteAJCI_FECINI->SetAsDateTime(EFecIni->Date());
            CAjusteAJCI_FECFIN->SetAsDateTime(EFecFin->Date());
            CAjusteAJCI_PORC->SetAsCurrency(tasa);
            CAjusteAJCI_FACTOR->SetAsCurrency(kFactorInicial);
            CAjuste->Post();
        }
        CTarifas->Next();
    }

    CaptionPanel1->SetVisible(true);
    DBGrid2->SetFocus();
    CAjuste->Last();
}

// A pending row that cannot be posted aborts here and the editor stays open.
// Changes the database refuses roll the whole apply back (no error allowed);
// the editor closes all the same and drops them.
void Tfcontavtascontado::cerrarAjuste() {
    CAjuste->ApplyUpdates(0);
    CaptionPanel1->SetVisible(false);
    CAjuste->Close();
}

// The panel is hidden first, so a pending row that cannot be posted ends the
// key's handling with the editor closed and no posting run. With no error
// limit, the changes written before a refused one stay in the database.
void Tfcontavtascontado::GuardarAjuste() {
    CaptionPanel1->SetVisible(false);
    CAjuste->ApplyUpdates(-1);
    FAjusteAplicado = true;
}
