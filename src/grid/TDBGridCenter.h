#pragma once
// TDBGridCenter: the grid library's shared behaviour object. Every data grid
// of the process asks it for what one grid does the same way as another and
// what other modules may take over: the text-locate operation and showing
// the find dialog. A program may replace it with an object of its own
// (SetDBGridCenter); the default is below.
//
// Text locate. LocateText finds the next cell of the grid whose text matches
// a request (TextLocate.h) and makes it current; true when found, otherwise
// the grid is left on the record, the row of the window and the column it
// was on. The default asks the registry of dataset-specific search features
// for one that serves the grid's dataset and falls back to the generic
// search (GenericLocateText) when none does; no feature is registered for
// the client dataset.
//
// Find dialog. ExecuteFindDialog shows the find dialog for a grid with an
// initial text and a list of columns (empty: the grid's visible columns),
// modal or not, through the program-wide hook ExecuteDBGridFindDialogProc,
// which the dialog's module sets when the program starts. Without it
// nothing is shown. A grid asks FindDialogModal first: the default answers
// always yes.

#include "grid/TextLocate.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomDBGrid;
class TDataSet;
class TDBGridColumn;

class TDBGridCenter {
public:
    virtual ~TDBGridCenter() = default;

    virtual bool LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request);
    virtual void ExecuteFindDialog(TCustomDBGrid& grid, const std::string& text,
                                   const std::vector<TDBGridColumn*>& columns, bool modal);
    virtual bool FindDialogModal(const TCustomDBGrid& grid) const { return true; }
};

// The shared object; the default one until SetDBGridCenter replaces it.
TDBGridCenter& DBGridCenter();
// Null brings the default back. Returns the object it replaces (null for the
// default). The caller keeps ownership.
TDBGridCenter* SetDBGridCenter(TDBGridCenter* center);

// The find dialog's hook: shows the find dialog for grid with the initial
// text and the column list, modal or not.
using TExecuteDBGridFindDialogProc =
    std::function<void(TCustomDBGrid& grid, const std::string& text,
                       const std::vector<TDBGridColumn*>& columns, bool modal)>;
extern TExecuteDBGridFindDialogProc ExecuteDBGridFindDialogProc;

// A dataset-specific search feature: a dataset class that can search its
// own rows in a better way registers one. Found, it leaves the grid as the
// generic search would.
class TDataSetTextLocateFeature {
public:
    virtual ~TDataSetTextLocateFeature() = default;
    virtual bool LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) = 0;
};

// Registers a feature for the datasets for which applies is true; the last
// registered that applies is used. Unregister with the same pointer.
void RegisterDataSetTextLocateFeature(std::function<bool(const TDataSet&)> applies,
                                      std::shared_ptr<TDataSetTextLocateFeature> feature);
void UnregisterDataSetTextLocateFeature(const TDataSetTextLocateFeature* feature);
// The feature for a dataset, or null.
TDataSetTextLocateFeature* FindDataSetTextLocateFeature(const TDataSet& dataSet);

// The generic search, step by step through the dataset:
//  1. not found without an active dataset;
//  2. the start column: the visible column showing FieldName ("Field name
//     '%s' not found" when none does), else the grid's selected column; not
//     found without visible columns;
//  3. the dataset's control updates off and the position remembered (the
//     grid's top row and how far below it the current record stands);
//  4. direction all: the first record, the start column; otherwise one step
//     before the first comparison;
//  5. each cell compared (below) until a match makes its column the grid's
//     selected one (found), the steps run out (no wrap-around), or, with
//     ltoStopOnEsc, an Esc press waits for the grid's window (not found; the
//     key stays);
//  6. a step: with ltoAllFields the next (previous) visible column, from the
//     last (first) the next (previous) record and the first (last) column;
//     without it the next (previous) record, same column;
//  7. not found: back to the remembered record and scroll position;
//  8. the control updates on again: the grid repaints once.
// Cell text: the displayed text with ltoMatchFormat, else the field's
// AsString; empty for a column without a field. Comparison: any part,
// whole, or the first characters; without case as the upper-case forms of
// both under the system locale's rules. Moving follows the dataset's own
// rules (an edited record is posted first).
bool GenericLocateText(TCustomDBGrid& grid, const TLocateTextRequest& request);
