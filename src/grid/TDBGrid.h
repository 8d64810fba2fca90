#pragma once
// TDBGrid: the data-aware grid. It shows the records of a data source's
// dataset, one row per record and one column per item of Columns, below a
// title row and right of an indicator column that marks the current record
// and its state.
//
//   TDBGrid* grid = new TDBGrid(form, panel);   // or new TDBGrid(form) + SetParent
//   grid->SetAlign(alClient);
//   grid->SetDataSource(source);
//   TDBGridColumn* c = grid->Columns().Add();
//   c->SetFieldName("AJCI_FECINI");
//   c->Title().SetCaption("F.Desde");
//
// Cell grid. Column 0 is the indicator column (with dgIndicator), then one
// grid column per Columns item; row 0 is the title row (with dgTitles), then
// the data rows. The grid keeps exactly as many data rows as its data link
// holds records, or one when the dataset is inactive or empty; the link holds
// as many records as data rows fit into the client area (VisibleRowCount).
// The current cell is (Col(), Row()): Row() is the data link's active record.
//
// Layout (row heights, column widths, fonts, binding the columns to their
// fields) is computed only when it must be: on a change of Font, TitleFont,
// the option sets or the columns, when the data link becomes active or
// inactive and when the dataset's fields change. Resizing recomputes only the
// visible rows and the scroll bars. Painting asks the geometry owner
// (Geometry()) for the visible cells and draws them one by one, fixed cells
// first; the looks of a cell are decided by the rules of GridCellRules.h.
//
// Following the dataset: a scroll by a few records moves the painted rows
// with one window scroll and repaints only the rows uncovered, the old and the
// new current row; a bigger scroll or any other change repaints the grid. The
// grid never posts a record itself.
//
// Client area: inside the border (2 pixels with bsSingle) and the scroll
// bars. ClientRect() is its size from (0, 0); ClientOrigin() is where it
// starts in the widget. Cell rectangles are in client coordinates.

#include "grid/GridCellRules.h"
#include "grid/GridOptions.h"
#include "grid/TDBGridColumns.h"
#include "grid/TGridGeometry.h"
#include "platform/widgets/TCustomControl.h"
#include "platform/widgets/TEdit.h" // TBorderStyle

#include <QFont>
#include <QFontMetrics>
#include <QRegion>

#include <memory>
#include <string>
#include <vector>

class QScrollBar;
class TDataSet;
class TDataSource;
class TField;
class TGridDataLink;

class TDBGrid : public TCustomControl {
public:
    explicit TDBGrid(TComponent* owner);
    TDBGrid(TComponent* owner, TWinControl* parent);
    ~TDBGrid() override;

    // --- data ----------------------------------------------------------------
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    TGridDataLink& DataLink() const { return *FDataLink; }

    // --- settings ------------------------------------------------------------
    // The three linked option sets (GridOptions.h).
    const TDBGridOptions& Options() const { return FOptionSets.Options(); }
    void SetOptions(TDBGridOptions value);
    const TDBGridOptionsEx& OptionsEx() const { return FOptionSets.OptionsEx(); }
    void SetOptionsEx(TDBGridOptionsEx value);
    const TIndicatorOptions& IndicatorOptions() const { return FOptionSets.IndicatorOptions(); }
    void SetIndicatorOptions(TIndicatorOptions value);
    const TDBGridOptionSets& OptionSets() const { return FOptionSets; }
    // The cell grid's options derived from the three sets.
    const TGridOptions& GridOptions() const { return FGridOptions; }

    // All four operations by default.
    const TDBGridAllowedOperations& AllowedOperations() const { return FAllowedOperations; }
    void SetAllowedOperations(TDBGridAllowedOperations value) {
        FAllowedOperations = std::move(value);
    }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // A flat grid has lower rows and titles and no 3D edges.
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    // The colour of the title and indicator cells; clBtnFace by default.
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor value);
    // bsSingle: a sunken 2-pixel frame around the client area.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    // The font of the titles. While the grid takes its font from its parent
    // (ParentFont), a change of that font becomes the title font too.
    const TFont& TitleFont() const { return FTitleFont; }
    void SetTitleFont(const TFont& value);

    TDBGridColumns& Columns() { return *FColumns; }
    const TDBGridColumns& Columns() const { return *FColumns; }

    // --- layout, as last computed --------------------------------------------
    const TGridGeometry& Geometry() const { return FGeometry; }
    // 1 with the indicator column, else 0; 1 with the title row, else 0.
    int IndicatorOffset() const { return FIndicatorOffset; }
    int TitleOffset() const { return FTitleOffset; }
    int ColCount() const { return FGeometry.ColCount(); }
    int RowCount() const { return FGeometry.RowCount(); }
    int DefaultRowHeight() const { return FGeometry.DefaultRowHeight(); }
    int TitleRowHeight() const { return FTitleOffset ? FGeometry.FixedRowHeight() : 0; }
    // Data rows that fit into the client area: the data link's buffer count.
    int VisibleRowCount() const { return FVisibleRowCount; }

    TRect ClientRect() const override;
    TPoint ClientOrigin() const;
    TRect CellRect(int col, int row) const { return FGeometry.CellRect(col, row); }

    // --- the current cell ----------------------------------------------------
    int Col() const { return FCol; }
    int Row() const;
    // The current column as an index into Columns; setting it makes another
    // column current and scrolls it into view.
    int SelectedIndex() const { return FCol - FIndicatorOffset; }
    void SetSelectedIndex(int value);
    // A column or null.
    TDBGridColumn* SelectedColumn() const;

    // True while an incremental search runs: the current record's indicator
    // shows the arrow in the search colour.
    bool IncSearchRunning() const { return FIncSearchRunning; }

    // --- cells ---------------------------------------------------------------
    TGridCellType GetCellType(int col, int row) const;
    TGridDrawState CellState(int col, int row) const;
    // How the current cell stands out now (focus, active control).
    TCurrentCellLook CurrentLook() const;
    // The text a data cell shows: the column's display text for the record
    // in that row; empty for rows without a record.
    std::string CellText(int col, int row) const;
    // The indicator image of a data row, -1 for none.
    int IndicatorImageOfRow(int row) const;

    // --- layout --------------------------------------------------------------
    // Recomputes the whole layout, or, between BeginLayout and EndLayout,
    // once when the outermost EndLayout comes.
    void LayoutChanged();
    void BeginLayout();
    void EndLayout();

    QScrollBar* VertScrollBar() const { return FVertScrollBar; }
    QScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
    // The width of a vertical scroll bar of the system (and the height of a
    // horizontal one).
    static int SystemScrollBarWidth();

    // The grid claims the arrow keys and characters (and Tab with dgTabs)
    // from the form's dialog handling.
    unsigned DialogCodes() const override;

    // From one resolution to another: besides the bounds (and the fonts of
    // its own), the title font when it is not the parent's and the widths
    // the columns store.
    void ChangeScale(int M, int D) override;

    void Notification(TComponent* component, bool removing) override;

protected:
    void Paint(QPainter& canvas) override;
    void applyFont() override;
    void applyColor() override;
    void boundsChanged(bool resized) override;
    bool widgetEvent(QEvent* event) override;

private:
    friend class TGridDataLink;
    friend class TDBGridColumns;

    // Fonts of one column as the layout measured them.
    struct TColumnFonts {
        QFont Cell;
        QFontMetrics CellMetrics;
        QFont Title;
        QFontMetrics TitleMetrics;
    };

    // Data link notifications (TDBGrid.cpp).
    void linkActiveChanged();
    void linkDataSetChanged();
    void linkDataSetScrolled(int distance);
    void linkRecordChanged(TField* field);
    void linkEditingChanged();
    void linkLayoutChanged();
    void columnsChanged();

    // Layout (TDBGridLayout.cpp).
    void computeLayout();
    void bindColumns();
    void measureFonts();
    void updateRowCount();
    void updateScrollBars();
    void placeScrollBars();
    bool vertScrollBarWanted() const;
    int borderWidth() const;

    // Painting (TDBGridPaint.cpp).
    void paintBorder(QPainter& canvas) const;
    void drawCell(QPainter& canvas, int col, int row, const TRect& rect,
                  const TCurrentCellLook& look);
    void drawFixedCell(QPainter& canvas, const TRect& rect, TColor color) const;
    void drawTitleCell(QPainter& canvas, int col, const TRect& rect);
    void drawIndicatorCell(QPainter& canvas, int row, const TRect& rect);
    void drawDataCell(QPainter& canvas, int col, int row, const TRect& rect, bool highlight);
    void drawLines(QPainter& canvas, const TRect& area) const;
    void drawFocusRect(QPainter& canvas, const TRect& rect) const;

    // Scrolling and repainting parts (TDBGridScroll.cpp). Regions are in
    // widget coordinates.
    // Moves the data rows by distance rows with a window scroll; returns the
    // rows it uncovered.
    QRegion scrollDataRows(int distance);
    QRegion rowRegion(int row) const;
    QRegion cellRegion(int col, int row) const;
    void invalidateCell(int col, int row);
    void invalidateRow(int row);
    void invalidateGrid();
    // Paints the region before returning (only while the grid is shown).
    void paintNow(const QRegion& region);
    void scrollBarAction(QScrollBar* bar, int action);

    std::unique_ptr<TGridDataLink> FDataLink;
    std::unique_ptr<TDBGridColumns> FColumns;
    TDBGridOptionSets FOptionSets;
    TGridOptions FGridOptions;
    TDBGridAllowedOperations FAllowedOperations{alopInsert, alopUpdate, alopDelete, alopAppend};
    bool FReadOnly = false;
    bool FFlat = false;
    TColor FFixedColor = clBtnFace;
    TBorderStyle FBorderStyle = bsSingle;
    TFont FTitleFont;
    TFont FShownFont; // the font the last layout measured
    bool FIncSearchRunning = false;

    TGridGeometry FGeometry;
    int FIndicatorOffset = 1;
    int FTitleOffset = 1;
    int FVisibleRowCount = 1;
    int FCol = 1;
    int FShownCurrentRow = -1; // the row last painted as current
    std::vector<TColumnFonts> FColumnFonts;
    int FLayoutLock = 0;
    TRect FPaintRect; // the area the paint under way must cover, widget coordinates

    QScrollBar* FVertScrollBar = nullptr;
    QScrollBar* FHorzScrollBar = nullptr;
};
