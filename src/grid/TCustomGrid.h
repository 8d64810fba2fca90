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
// the editor edits (GetEditText, SetEditText, CanEditModify), what a press on
// a data cell does and where a sized or moved column's width and place are
// kept, and handle the vertical scroll bar. Regions passed around for
// repainting are in widget coordinates; cell rectangles and the mouse are in
// client coordinates, (0, 0) inside the border (ClientOrigin).
//
// The mouse (TCustomGridMouse.cpp) is one state with one owner. A press
// first takes the focus; on a title it starts sizing or moving a column, on a
// data cell the subclass decides and usually starts tracking. Tracking
// follows the pointer cell by cell and, while the pointer is outside the data
// area, scrolls on a timer the further away the faster. Sizing shows an
// inverted line and sets the width on release; moving shows the shared
// marker window (TGridMoveLine) and moves the column on release. Release
// ends every state; the cancel-mode message, Esc, the focus going to another
// control and the window losing the activation end them without applying.

#include "grid/GridCellRules.h"
#include "grid/GridOptions.h"
#include "grid/TDBGridScrollBar.h"
#include "grid/TGridGeometry.h"
#include "platform/widgets/TCustomControl.h"
#include "platform/widgets/TEdit.h" // TBorderStyle

#include <QBasicTimer>
#include <QEvent>
#include <QPointer>
#include <QRegion>

#include <string>

class TInplaceEdit;

// What the mouse is doing with the grid. Only the grid's mouse handling
// changes it; Esc and the cancel-mode message end sizing and moving.
enum TGridState { gsNormal, gsTracking, gsColSizing, gsColMoving };

// A column moved by its title: from and to are places among the columns.
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

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
    TPoint ClientOrigin() const override;
    TRect CellRect(int col, int row) const { return FGeometry.CellRect(col, row); }

    // --- the mouse -----------------------------------------------------------
    // The mouse state a press at a client point would start: column sizing
    // in the sizing zone of a title's right boundary (its line, 3 pixels left
    // and 4 right of it) with goColSizing, column moving elsewhere on a
    // scrollable column's title with goColMoving, tracking on a data cell,
    // normal anywhere else.
    TGridState GridStateAt(int x, int y) const;
    TGridState GridState() const { return FMouse.State; }
    // Ends a column sizing or moving in progress without applying it, and a
    // tracking with its auto-scroll. The cancel-mode message does this.
    void CancelMode();
    // While sizing: the client x of the inverted line, which the column's
    // right boundary will move to; -1 otherwise.
    int SizingLinePos() const;
    // The cells the tracking pointer is kept in: the data cells shown.
    TRect DataArea() const;
    // The auto-scroll of tracking (window timer 1): the interval it runs at,
    // max(0, 200 - 15 x d) milliseconds for a pointer d pixels outside the
    // data area; -1 while it does not run. Its timer events come to the
    // grid's widget with AutoScrollTimerId.
    int AutoScrollInterval() const { return FMouse.AutoScrollInterval; }
    int AutoScrollTimerId() const { return FMouse.AutoScrollTimer.timerId(); }

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
    void WndProc(TMessage& message) override;
    void DoExit() override;
    int borderWidth() const;

    // --- the mouse (TCustomGridMouse.cpp) ------------------------------------
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The grid holds the keyboard focus, itself or in its editor; a press
    // or a scroll message takes it first.
    bool HoldsFocus() const;
    bool TakeFocus();
    // A left or right press on a data cell (col and row of a data cell
    // shown), after the focus was taken.
    virtual void DataCellPressed(TMouseButton button, TShiftState shift, int col, int row, int x,
                                 int y) = 0;
    // Before a title drag starts (the editor's text goes to its cell).
    virtual void TitleDragStarting() {}
    // Tracking: the pointer's cell, clamped into the data area; an
    // auto-scroll tick moving rows (up when negative) and the current
    // column colStep (-1, 0, 1) columns, scrolling one column that way.
    virtual void TrackCell(int col, int row) { SetCurrentCol(col); }
    virtual void AutoScroll(int rows, int colStep);
    // Where a column's new width and place are kept: a sizing and a move
    // released (columns of the grid, scrollable ones).
    virtual void ColumnSized(int col, int width) = 0;
    virtual void ColumnMoved(int from, int to) = 0;
    // Enters tracking at a client point (a press on a data cell).
    void BeginTracking(int x, int y);
    // Hands the press at a client point to the editor's control under it
    // (its drop-down button): it gets the press, the moves and the release,
    // as the control that took the mouse; tracking ends. False when the open
    // editor has no control there to take it.
    bool HandPressToEditor(int x, int y, TShiftState shift);
    // Offers a wheel turn made over the grid to the open editor first (its
    // drop-down, when open, takes it); true when taken.
    bool OfferWheelToEditor(TShiftState shift, int wheelDelta, TPoint mousePos);

    // --- scroll messages (TCustomGridScroll.cpp) -----------------------------
    // WM_VSCROLL and WM_HSCROLL, after the grid took the focus: code one of
    // the SB_ codes, pos the thumb's position for the thumb codes.
    virtual void VertScrollMessage(unsigned code, int pos) {}
    virtual void HorzScrollMessage(unsigned code, int pos);

private:
    friend class TInplaceEdit;

    // The mouse state and what it keeps while it lasts.
    struct TMouseState {
        TGridState State = gsNormal;
        // sizing: the column whose right boundary moves, the boundary's
        // offset from the pointer at the press, the line's client x
        int SizingCol = -1;
        int SizingOffset = 0;
        int SizingPos = -1;
        // moving: the column dragged, the one it drops beside and where
        int MoveOrigin = -1;
        int MoveTarget = -1;
        bool MoveAfter = false;
        // tracking: the last pointer position and the auto-scroll
        TPoint TrackPos;
        QBasicTimer AutoScrollTimer;
        int AutoScrollInterval = -1;
        // the editor's control a press was handed to, which gets the rest
        QPointer<QWidget> PressTarget;
        bool HandingOn = false;
    };

    void pressTitle(TMouseButton button, int col, int x, int y);
    int sizingColumnAt(int x) const;
    void beginSizing(int x);
    void moveSizingLine(int x);
    void endSizing(int x);
    void invalidateSizingLine(int pos);
    void drawSizingLine(QPainter& canvas) const;
    void beginMoving(int col, int x);
    void dragColumnTo(int x, bool mayScroll);
    void endMoving(int x);
    void showMoveMarker() const;
    void trackTo(int x, int y);
    // The pointer's distance outside the data area, the larger of the two,
    // and the directions (-1, 0, 1) it is outside in.
    int overshoot(TPoint p, int& dx, int& dy) const;
    void updateAutoScroll();
    void autoScrollTick();
    void stopAutoScroll();
    void updateCursor(int x, int y);
    void handOn(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons,
                TShiftState shift);
    void scrollColumnsTo(int leftCol);

    void paintBorder(QPainter& canvas) const;
    void drawLines(QPainter& canvas) const;
    void drawFocusRect(QPainter& canvas, const TRect& rect) const;
    void placeScrollBars();
    void scrollBarAction(QScrollBar* bar, int action);
    void scrollMessage(QScrollBar* bar, unsigned code, int pos);

    TGridGeometry FGeometry;
    TGridOptions FGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine};
    TColor FFixedColor = clBtnFace;
    TBorderStyle FBorderStyle = bsSingle;
    TDBGridScrollBar* FVertScrollBar = nullptr;
    TDBGridScrollBar* FHorzScrollBar = nullptr;
    TMouseState FMouse;

    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    bool FEditorOutOfDate = true;
    int FEditorCol = -1; // the cell the editor was last filled for
    int FEditorRow = -1;

    TRect FPaintRect; // the area the paint under way must cover, widget coordinates
    TCurrentCellLook FPaintLook;
};
