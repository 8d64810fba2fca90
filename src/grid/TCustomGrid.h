#pragma once
// TCustomGrid: the cell grid under the data grid. It knows cells, not
// records: how many columns and rows there are and how large (its geometry,
// TGridGeometry, the one owner of sizes, the client area, the current column
// and the columns shown), the cell-grid options, the border, the two scroll
// bars, painting cell by cell with the grid lines, the in-place editor over
// the current cell, and what the mouse is doing (one state, one owner).
//
// Options (TGridOptions) and what they mean here: the four line options draw
// the lines of the fixed and of the data area, goExtendVertLines continues
// the vertical lines to the bottom of the client area; goEditing lets the
// editor open; goTabs makes Tab a grid key instead of a focus move;
// goColSizing and goColMoving let a press on a title start sizing or moving
// a column (GridStateAt); goAlwaysShowEditor keeps the editor open as the
// current cell moves; goRowSelect shows no editor.
//
// Subclasses draw the cells (DrawCell), say which row is current (Row), what
// the editor edits (GetEditText, SetEditText, CanEditModify) and handle the
// vertical scroll bar. Regions passed around for repainting are in widget
// coordinates; cell rectangles are in client coordinates, (0, 0) inside the
// border (ClientOrigin).

#include "grid/GridCellRules.h"
#include "grid/GridOptions.h"
#include "grid/TDBGridScrollBar.h"
#include "grid/TGridGeometry.h"
#include "platform/widgets/TCustomControl.h"
#include "platform/widgets/TEdit.h" // TBorderStyle

#include <QRegion>

#include <string>

class TInplaceEdit;

// What the mouse is doing with the grid. Only the grid's mouse handling
// changes it; Esc and the cancel-mode message end sizing and moving.
enum TGridState { gsNormal, gsTracking, gsColSizing, gsColMoving };

class TCustomGrid : public TCustomControl {
public:
    ~TCustomGrid() override;

    // --- settings ------------------------------------------------------------
    const TGridOptions& GridOptions() const { return FGridOptions; }
    // The colour of the title and indicator cells; clBtnFace by default.
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor value);
    // bsSingle: a sunken 2-pixel frame around the client area.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TDBGridScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
    TDBGridScrollBar* VertScrollBar() const { return FVertScrollBar; }
    // The width of a vertical scroll bar of the system (and the height of a
    // horizontal one).
    static int SystemScrollBarWidth();

    // --- geometry ------------------------------------------------------------
    const TGridGeometry& Geometry() const { return FGeometry; }
    int ColCount() const { return FGeometry.ColCount(); }
    int RowCount() const { return FGeometry.RowCount(); }
    int DefaultRowHeight() const { return FGeometry.DefaultRowHeight(); }
    int FixedCols() const { return FGeometry.FixedCols(); }
    int FixedRows() const { return FGeometry.FixedRows(); }
    // The current cell.
    int Col() const { return FGeometry.Col(); }
    virtual int Row() const { return FGeometry.FixedRows(); }
    TRect ClientRect() const override;
    TPoint ClientOrigin() const;
    TRect CellRect(int col, int row) const { return FGeometry.CellRect(col, row); }

    // The mouse state a press at a client point would start: column sizing
    // in the sizing zone of a title's right boundary (its line, 3 pixels left
    // and 4 right of it) with goColSizing, column moving elsewhere on a
    // scrollable column's title with goColMoving, tracking on a data cell,
    // normal anywhere else.
    TGridState GridStateAt(int x, int y) const;
    TGridState GridState() const { return FGridState; }
    // Ends a column sizing or moving in progress without applying it.
    void CancelMode();

    // --- the in-place editor -------------------------------------------------
    // Open over the current cell.
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool value);
    // Null until the editor is first needed; then kept.
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    // Opens the editor over the current cell when CanEditShow allows it,
    // else closes it. It is filled from the cell (GetEditText, all text
    // selected) when it opens on another cell than it was last filled for,
    // or after InvalidateEditor.
    void ShowEditor();
    // Closes the editor, giving the focus it held to the grid.
    void HideEditor();
    // The editor is filled again the next time it opens, or now when it is
    // open.
    void InvalidateEditor();
    bool EditorShowing() const;

    // What the editor asks of the grid. Before it changes its text: whether
    // the current cell may be modified (a grid may prepare the record for
    // it). After: its text for the cell.
    virtual bool CanEditModify() { return FGridOptions.contains(goEditing); }
    virtual std::string GetEditText(int col, int row) { return {}; }
    virtual void SetEditText(int col, int row, const std::string& text) {}
    // Whether a typed character may be part of the cell's text.
    virtual bool CanEditAcceptChar(char ch) { return true; }
    // Keys the open editor hands to the grid's KeyDown instead of handling
    // them itself.
    virtual bool EditorKeyForGrid(uint16_t key, TShiftState shift) const;

    // Tab with goTabs, besides the arrows and the characters.
    unsigned DialogCodes() const override;

protected:
    explicit TCustomGrid(TComponent* owner);

    TGridGeometry& geometry() { return FGeometry; }
    void SetGridOptions(TGridOptions value);

    // Painting: the border, the visible cells one by one through DrawCell
    // (fixed cells first), the grid colour beyond the cells, the lines and
    // the focus rectangle of the current cell.
    void Paint(QPainter& canvas) override;
    virtual void DrawCell(QPainter& canvas, int col, int row, const TRect& rect,
                          TGridDrawState state) = 0;
    TGridDrawState CellState(int col, int row) const;
    // How the current cell stands out now (focus, active control, editor).
    virtual TCurrentCellLook CurrentLook() const;
    // The look the paint under way computed; for DrawCell.
    const TCurrentCellLook& PaintLook() const { return FPaintLook; }
    // True while nothing is to be painted (a search under way moves the
    // data behind the cells); the grid is repainted afterwards.
    virtual bool PaintSuspended() const { return false; }

    // The editor: made by CreateEditor on first use. CanEditShow: goEditing
    // without goRowSelect, the grid its form's active control (or holding
    // the focus in its editor), and a current cell to edit.
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditShow() const;
    // The open editor placed over the current cell again (after a resize, a
    // scroll or a move of the current row).
    void UpdateEditorPlace();
    // The grid is its form's active control, or its editor is.
    bool IsActiveControl() const;

    // The current column made col, scrolled into view; the cells involved
    // and, when the view scrolled, the grid repainted.
    void SetCurrentCol(int col);

    // The client area: the scroll bars shown as they are wanted, the
    // geometry told the client size that leaves, the bars placed.
    void UpdateClientArea();
    virtual bool VertScrollWanted() const { return false; }
    virtual void UpdateVertScrollBar() {}
    void UpdateHorzScrollBar();
    // A scroll bar action of the vertical bar (QAbstractSlider::SliderAction).
    virtual void VertScrollAction(int action) {}

    // Repainting parts.
    QRegion rowRegion(int row) const;
    QRegion cellRegion(int col, int row) const;
    void invalidateCell(int col, int row);
    void invalidateRow(int row);
    void invalidateGrid();
    // Paints the region before returning (only while the grid is shown).
    void paintNow(const QRegion& region);
    // Moves the data rows by distance rows with a window scroll; returns the
    // rows it uncovered.
    QRegion scrollDataRows(int distance);

    // The grid was resized: the client area again.
    virtual void SizeChanged() { UpdateClientArea(); }
    void boundsChanged(bool resized) override;
    bool widgetEvent(QEvent* event) override;
    int borderWidth() const;

    // Set by the mouse handling; CancelMode resets sizing and moving.
    void setGridState(TGridState state) { FGridState = state; }

private:
    friend class TInplaceEdit;

    void paintBorder(QPainter& canvas) const;
    void drawLines(QPainter& canvas) const;
    void drawFocusRect(QPainter& canvas, const TRect& rect) const;
    void placeScrollBars();
    void scrollBarAction(QScrollBar* bar, int action);
    void horzScrollAction(int action);

    TGridGeometry FGeometry;
    TGridOptions FGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine};
    TColor FFixedColor = clBtnFace;
    TBorderStyle FBorderStyle = bsSingle;
    TDBGridScrollBar* FVertScrollBar = nullptr;
    TDBGridScrollBar* FHorzScrollBar = nullptr;
    TGridState FGridState = gsNormal;

    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    bool FEditorOutOfDate = true;
    int FEditorCol = -1; // the cell the editor was last filled for
    int FEditorRow = -1;

    TRect FPaintRect; // the area the paint under way must cover, widget coordinates
    TCurrentCellLook FPaintLook;
};
