#pragma once
// TDBGrid: the data grid as a form places it (TCustomDBGrid.h has the
// behaviour).
//
//   TDBGrid* grid = new TDBGrid(form, panel);   // or new TDBGrid(form) + SetParent
//   grid->SetAlign(alClient);
//   grid->SetDataSource(source);
//   TDBGridColumn* c = grid->Columns().Add();
//   c->SetFieldName("AJCI_FECINI");
//   c->Title().SetCaption("F.Desde");

#include "grid/TCustomDBGrid.h"

class TDBGrid : public TCustomDBGrid {
public:
    explicit TDBGrid(TComponent* owner) : TCustomDBGrid(owner) {}
    TDBGrid(TComponent* owner, TWinControl* parent) : TCustomDBGrid(owner) { SetParent(parent); }
};
