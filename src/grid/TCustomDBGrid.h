#pragma once
// TCustomDBGrid: the data-aware grid on the cell grid (TCustomGrid). It
// shows the records of a data source's dataset, one row per record and one
// column per item of Columns, below a title row and right of an indicator
// column that marks the current record and its state; it edits the current
// cell in its in-place editor, moves through the records and columns by the
// keyboard, and searches its cells incrementally.
//
// Cell grid. Column 0 is the indicator column (with dgIndicator), then one
// grid column per Columns item; row 0 is the title row (with dgTitles), then
// the data rows. The grid keeps exactly as many data rows as its data link
// holds records, or one when the dataset is inactive or empty; the link holds
// as many records as data rows fit into the client area (VisibleRowCount).
// The current cell is (Col(), Row()): Row() is the data link's active record.
//
// Layout (row heights, column widths, fonts, binding the columns to their
// fields) is computed only when it must be: once when the form that owns the
// grid has finished loading, on a change of Font, TitleFont, the option sets
// or the columns, when the data link becomes active or inactive and when the
// dataset's fields change. Resizing recomputes only the visible rows and the
// scroll bars; a column's new width or place goes to the geometry alone.
//
// Editing (the grid never posts a record itself): a character typed, F2 or
// Ctrl+' opens the editor over the current cell, filled with the field's
// edit text. Before its text changes the grid is asked whether the cell may
// be modified (CanEditModify), which puts the record into edit state and
// marks the cell modified (a flag of the data link). The edit text is
// written to the field when the current column changes, when the dataset
// moves to another record (it asks for it), or when the focus leaves the
// grid; a text the field does not take raises, the move does not happen and
// the cell stays in edit. Moving to another record posts it.
//
// Keys (KeyDown), in order: the OnKeyDown event; nothing more while the data
// link is inactive; Ctrl+' (copy from the row above); Ctrl+F (start an
// incremental search, or end it and open the find dialog); while searching,
// Enter, Esc and F2 end it, Backspace shortens it, Ctrl+Enter and
// Ctrl+Shift+Enter find the next and the previous match; then the key table
// (moves, Tab and Enter, Esc, Insert, Ctrl+Delete, F2) for every key, the
// search keys included. GridSettings.h holds the search and copy keys.
//
// Mouse (TCustomDBGridMouse.cpp): a press on a data cell writes the editor's
// text to the field and closes the editor, moves the current record to the
// row pressed and the current column to the column pressed, and tracks the
// pointer while the button is held; a left click on the cell that was
// current already, or in the edit-button strip of a cell whose editor has a
// button, opens the editor (the strip's press then goes on to the editor's
// button). A title drag writes the editor's text first; a sized column keeps
// its width in its Width, a moved one takes its new place in Columns and
// OnColumnMoved follows. Each wheel notch moves one record. The vertical
// scroll bar follows the record numbers (TCustomDBGridScroll.cpp).

#include "grid/GridOptions.h"
#include "grid/TCustomGrid.h"
#include "grid/TDBGridColumns.h"
#include "grid/TextLocate.h"

#include <QBasicTimer>
#include <QFont>
#include <QFontMetrics>

#include <memory>
#include <set>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;
class TField;
class TGridDataLink;

enum TDBGridAllowedSelection { gstRecordBookmarks, gstRectangle, gstColumns, gstAll };
using TDBGridAllowedSelections = std::set<TDBGridAllowedSelection>;

// What Ctrl+C (or Ctrl+Insert), Ctrl+X and Ctrl+V do with the current cell:
// copy its text to the clipboard, cut it, or write the clipboard's text to
// it. Delete and select-all act on a multi-selection, which this grid does
// not keep. With an empty set, as by default, these keys do nothing.
enum TDBGridEditAction { geaCopy, geaCut, geaPaste, geaDelete, geaSelectAll };
using TDBGridEditActions = std::set<TDBGridEditAction>;

class TCustomDBGrid : public TCustomGrid {
public:
    explicit TCustomDBGrid(TComponent* owner);
    ~TCustomDBGrid() override;

    // --- data ----------------------------------------------------------------
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    TGridDataLink& DataLink() const { return *FDataLink; }

    // --- settings ------------------------------------------------------------
    // The three linked option sets (GridOptions.h); the cell grid's options
    // are derived from them.
    const TDBGridOptions& Options() const { return FOptionSets.Options(); }
    void SetOptions(TDBGridOptions value);
    const TDBGridOptionsEx& OptionsEx() const { return FOptionSets.OptionsEx(); }
    void SetOptionsEx(TDBGridOptionsEx value);
    const TIndicatorOptions& IndicatorOptions() const { return FOptionSets.IndicatorOptions(); }
    void SetIndicatorOptions(TIndicatorOptions value);
    const TDBGridOptionSets& OptionSets() const { return FOptionSets; }

    // All four operations by default.
    const TDBGridAllowedOperations& AllowedOperations() const { return FAllowedOperations; }
    void SetAllowedOperations(TDBGridAllowedOperations value) {
        FAllowedOperations = std::move(value);
    }
    // What a multi-selection may hold; inert without dgMultiSelect.
    const TDBGridAllowedSelections& AllowedSelections() const { return FAllowedSelections; }
    void SetAllowedSelections(TDBGridAllowedSelections value) {
        FAllowedSelections = std::move(value);
    }
    // Empty by default.
    const TDBGridEditActions& EditActions() const { return FEditActions; }
    void SetEditActions(TDBGridEditActions value) { FEditActions = std::move(value); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // A flat grid has lower rows and titles and no 3D edges.
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    // The font of the titles. While the grid takes its font from its parent
    // (ParentFont), a change of that font becomes the title font too.
    const TFont& TitleFont() const { return FTitleFont; }
    void SetTitleFont(const TFont& value);
    // False: the grid fills the cells with their colours and draws no text.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool value);
    // Row and title heights in pixels, or in lines of text; 0 computes them
    // from the fonts (one line). A height wins over a number of lines.
    int RowHeight() const { return FRowHeight; }
    void SetRowHeight(int value);
    int RowLines() const { return FRowLines; }
    void SetRowLines(int value);
    int TitleHeight() const { return FTitleHeight; }
    void SetTitleHeight(int value);
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int value);

    TDBGridColumns& Columns() { return *FColumns; }
    const TDBGridColumns& Columns() const { return *FColumns; }

    // --- layout, as last computed --------------------------------------------
    // 1 with the indicator column, else 0; 1 with the title row, else 0.
    int IndicatorOffset() const { return FIndicatorOffset; }
    int TitleOffset() const { return FTitleOffset; }
    int TitleRowHeight() const { return FTitleOffset ? Geometry().FixedRowHeight() : 0; }
    // Data rows that fit into the client area: the data link's buffer count.
    int VisibleRowCount() const { return Geometry().VisibleDataRows(); }
    // Recomputes the whole layout, or, between BeginLayout and EndLayout and
    // while the owning form loads, once when that ends.
    void LayoutChanged();
    void BeginLayout();
    void EndLayout();
    // How many times the whole layout was computed.
    int LayoutCount() const { return FLayoutCount; }

    // --- the current cell ----------------------------------------------------
    int Row() const override;
    // The current column as an index into Columns. Setting it changes the
    // current column as a key does: the cell written first, invisible
    // columns skipped in the direction of travel, OnColExit and OnColEnter,
    // scrolled into view, a search ended.
    int SelectedIndex() const { return Col() - FIndicatorOffset; }
    void SetSelectedIndex(int value);
    // A column or null; its field or null.
    TDBGridColumn* SelectedColumn() const;
    TField* SelectedField() const;

    // --- cells ---------------------------------------------------------------
    TGridCellType GetCellType(int col, int row) const;
    TGridDrawState CellState(int col, int row) const { return TCustomGrid::CellState(col, row); }
    TCurrentCellLook CurrentLook() const override;
    // The text a data cell shows: the column's display text for the record
    // in that row; empty for rows without a record.
    std::string CellText(int col, int row) const;
    // The indicator image of a data row, -1 for none.
    int IndicatorImageOfRow(int row) const;

    // --- keyboard and editing ------------------------------------------------
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoExit() override;
    bool CanEditModify() override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& text) override;
    bool CanEditAcceptChar(char ch) override;
    bool EditorKeyForGrid(uint16_t key, TShiftState shift) const override;
    // The editor's text as last reported, and whether it awaits writing.
    const std::string& EditText() const { return FEditText; }
    bool CellModified() const;

    // --- incremental search --------------------------------------------------
    bool IncSearchRunning() const { return FSearching; }
    const std::string& IncSearchText() const { return FSearchText; }
    // Milliseconds; -1 for a search that never times out.
    int IncSearchTimeOut() const { return FSearchTimeOut; }
    // Starts a search with an empty text (closing the editor); the time-out
    // -1 for none.
    void StartIncSearch(int timeOut = -1);
    void StopIncSearch();

    // --- text locate and the find dialog -------------------------------------
    // The text-locate operation, through the shared behaviour object
    // (TDBGridCenter.h). The grid does not repaint while it runs.
    bool LocateText(const TLocateTextRequest& request);
    // Opens the find dialog through the shared object, with an initial text;
    // always modal.
    void ExecuteFindDialog(const std::string& text);

    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    // A column dragged by its title to another place; indices in Columns.
    TMovedEvent OnColumnMoved;

    // From one resolution to another: besides the bounds (and the fonts of
    // its own), the title font when it is not the parent's and the widths
    // the columns store.
    void ChangeScale(int M, int D) override;
    void Notification(TComponent* component, bool removing) override;
    void Loaded() override;

protected:
    void DrawCell(QPainter& canvas, int col, int row, const TRect& rect,
                  TGridDrawState state) override;
    bool PaintSuspended() const override { return FLocating > 0; }
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() const override;
    void SizeChanged() override { updateRowCount(); }
    bool VertScrollWanted() const override;
    void UpdateVertScrollBar() override;
    void VertScrollMessage(unsigned code, int pos) override;
    void DataCellPressed(TMouseButton button, TShiftState shift, int col, int row, int x,
                         int y) override;
    void TitleDragStarting() override;
    void TrackCell(int col, int row) override;
    void AutoScroll(int rows, int colStep) override;
    void ColumnSized(int col, int width) override;
    void ColumnMoved(int from, int to) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void applyFont() override;
    void applyColor() override;
    bool widgetEvent(QEvent* event) override;

private:
    friend class TGridDataLink;
    friend class TDBGridColumns;
    friend class TDBGridColumn;

    // Fonts of one column as the layout measured them.
    struct TColumnFonts {
        QFont Cell;
        QFontMetrics CellMetrics;
        QFont Title;
        QFontMetrics TitleMetrics;
    };

    // Data link notifications (TCustomDBGrid.cpp).
    void linkActiveChanged();
    void linkDataSetChanged();
    void linkDataSetScrolled(int distance);
    void linkRecordChanged(TField* field);
    void linkEditingChanged();
    void linkLayoutChanged();
    void linkUpdateData();
    void columnsChanged();
    void columnWidthChanged(int index);
    void columnMoved(int from, int to);
    // Whether a change of the data ends the incremental search: any that
    // the search itself did not make.
    void dataChangedFromOutside();

    // Layout (TCustomDBGridLayout.cpp).
    bool layoutDeferred() const;
    void computeLayout();
    void bindColumns();
    void measureFonts();
    void updateRowCount();

    // Painting (TCustomDBGridPaint.cpp).
    void drawFixedCell(QPainter& canvas, const TRect& rect, TColor color) const;
    void drawTitleCell(QPainter& canvas, int col, const TRect& rect);
    void drawIndicatorCell(QPainter& canvas, int row, const TRect& rect);
    void drawDataCell(QPainter& canvas, int col, int row, const TRect& rect, bool highlight);

    // Keys (TCustomDBGridKeys.cpp).
    void keyTable(uint16_t key, TShiftState shift);
    void ctrlKey(uint16_t key, TShiftState shift);
    int moveBy(int distance);
    void rowDown();
    void rowUp();
    void nextColumn();
    void previousColumn();
    // The visible column after (step 1) or before (step -1) index, or -1.
    int visibleColumnFrom(int index, int step) const;
    void changeColumn(int index, int direction);
    void insertRecord();
    void editAction(TDBGridEditAction action);

    // Editing (TCustomDBGridEdit.cpp).
    void updateData();
    void cancelEditing();
    void deleteRecord();
    void copyFromRowAbove();
    void refreshEditorFromField();

    // Mouse (TCustomDBGridMouse.cpp).
    void moveToRow(int row);
    bool inEditButtonStrip(int col, int x) const;

    // Incremental search (TCustomDBGridSearch.cpp).
    void addSearchText(const std::string& text);
    void searchNext(TLocateTextDirection direction);
    bool searchFor(const std::string& text, TLocateTextDirection direction);
    void searchBackspace();
    void restartSearchTimer();
    void addClipboardToSearch();
    void drawSearchText(QPainter& canvas, const TRect& rect, int textLeft,
                        const TColumnFonts& fonts, const std::string& cellText);

    std::unique_ptr<TGridDataLink> FDataLink;
    std::unique_ptr<TDBGridColumns> FColumns;
    TDBGridOptionSets FOptionSets;
    TDBGridAllowedOperations FAllowedOperations{alopInsert, alopUpdate, alopDelete, alopAppend};
    TDBGridAllowedSelections FAllowedSelections{gstRecordBookmarks, gstRectangle, gstColumns,
                                                gstAll};
    TDBGridEditActions FEditActions;
    bool FReadOnly = false;
    bool FFlat = false;
    bool FDefaultDrawing = true;
    int FRowHeight = 0;
    int FRowLines = 0;
    int FTitleHeight = 0;
    int FTitleLines = 0;
    TFont FTitleFont;
    TFont FShownFont; // the font the last layout measured

    int FIndicatorOffset = 1;
    int FTitleOffset = 1;
    int FShownCurrentRow = -1; // the row last painted as current
    std::vector<TColumnFonts> FColumnFonts;
    int FLayoutLock = 0;
    int FLayoutCount = 0;
    bool FLayoutWanted = false; // asked for while the form loaded

    bool FIgnoreThumbPosition = false; // thumb tracking has moved the record already
    int FWheelDelta = 0;               // a part of a notch, kept for the next turn

    std::string FEditText;
    TBookmark FEditorRecord; // the record the editor was last filled from

    bool FSearching = false;
    std::string FSearchText;
    int FSearchTimeOut = -1;
    QBasicTimer FSearchTimer;
    int FLocating = 0;       // text locates under way
    bool FOwnSearch = false; // the incremental search's own locate runs
};
