#pragma once
// The option sets of the data grid and the links between them.
//
// Options and OptionsEx are the grid's own settings; IndicatorOptions says
// what the indicator column shows. Two links keep them consistent whichever
// set is written: dgIndicator and gioShowRowIndicator switch each other on and
// off, and dgColumnResize stands for dghColumnResize and dghColumnMove
// together (on when both are on). The cell grid underneath works with the
// options derived from them (GridOptionsOf).

#include <set>

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
};
using TDBGridOptions = std::set<TDBGridOption>;

enum TDBGridOptionEx {
    dghFixed3D,
    dghHighlightFocus,
    dghClearSelection,
    dghEnterAsTab,
    dghTraceColSizing,
    dghIncSearch,
    dghPreferIncSearch,
    dghDialogFind,
    dghColumnResize,
    dghColumnMove,
    dghExtendVertLines,
};
using TDBGridOptionsEx = std::set<TDBGridOptionEx>;

enum TIndicatorOption { gioShowRowIndicator };
using TIndicatorOptions = std::set<TIndicatorOption>;

enum TDBGridAllowedOperation { alopInsert, alopUpdate, alopDelete, alopAppend };
using TDBGridAllowedOperations = std::set<TDBGridAllowedOperation>;

// The options of the cell grid: lines in the fixed and in the data area,
// sizing and moving, editing, Tab as a navigation key, vertical lines drawn
// down to the bottom of the client area.
enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goExtendVertLines,
};
using TGridOptions = std::set<TGridOption>;

// The three linked sets of one grid, with the class defaults.
class TDBGridOptionSets {
public:
    const TDBGridOptions& Options() const { return FOptions; }
    const TDBGridOptionsEx& OptionsEx() const { return FOptionsEx; }
    const TIndicatorOptions& IndicatorOptions() const { return FIndicatorOptions; }

    // Each setter takes the set as given and carries the links over to the
    // other sets.
    void SetOptions(TDBGridOptions value);
    void SetOptionsEx(TDBGridOptionsEx value);
    void SetIndicatorOptions(TIndicatorOptions value);

    bool Has(TDBGridOption option) const { return FOptions.contains(option); }
    bool Has(TDBGridOptionEx option) const { return FOptionsEx.contains(option); }
    bool Has(TIndicatorOption option) const { return FIndicatorOptions.contains(option); }

private:
    TDBGridOptions FOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                            dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    TDBGridOptionsEx FOptionsEx{dghFixed3D, dghHighlightFocus, dghClearSelection, dghColumnResize,
                                dghColumnMove};
    TIndicatorOptions FIndicatorOptions{gioShowRowIndicator};
};

// The cell grid's options for a grid's option sets.
TGridOptions GridOptionsOf(const TDBGridOptionSets& sets);
