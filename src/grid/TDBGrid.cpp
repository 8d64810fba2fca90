// TDBGrid: construction, settings, the current cell, the cell rules as this
// grid applies them, and how the grid follows its data link.

#include "grid/TDBGrid.h"

#include "data/TDataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "grid/TGridDataLink.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TForm.h"

#include <QEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

TDBGrid::TDBGrid(TComponent* owner)
    : TCustomControl(owner), FDataLink(std::make_unique<TGridDataLink>(*this)),
      FColumns(std::make_unique<TDBGridColumns>(*this)) {
    QWidget* w = Widget();
    w->setFocusPolicy(Qt::StrongFocus);
    // Every pixel of the client area is painted, which also lets Qt move
    // painted rows with a real window scroll.
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    SetTabStop(true);
    for (QScrollBar** bar : {&FVertScrollBar, &FHorzScrollBar}) {
        *bar = new QScrollBar(bar == &FVertScrollBar ? Qt::Vertical : Qt::Horizontal, w);
        (*bar)->setFocusPolicy(Qt::NoFocus);
        // An opaque bar repaints alone, not the grid's cells under it.
        (*bar)->setAutoFillBackground(true);
        (*bar)->hide();
        QScrollBar* b = *bar;
        QObject::connect(b, &QAbstractSlider::actionTriggered, w,
                         [this, b](int action) { scrollBarAction(b, action); });
    }
    BeginLayout();
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
    EndLayout();
}

TDBGrid::TDBGrid(TComponent* owner, TWinControl* parent) : TDBGrid(owner) {
    SetParent(parent);
}

TDBGrid::~TDBGrid() {
    QObject::disconnect(FVertScrollBar, nullptr, nullptr, nullptr);
    QObject::disconnect(FHorzScrollBar, nullptr, nullptr, nullptr);
    // The link goes first, while the grid it reports to is whole.
    FDataLink.reset();
}

// ---- settings ---------------------------------------------------------------

TDataSource* TDBGrid::DataSource() const {
    return FDataLink->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* value) {
    if (value == DataSource()) return;
    // Attaching to an open dataset reports the link active, which asks for
    // a layout too: one is made.
    BeginLayout();
    FDataLink->SetDataSource(value);
    EndLayout();
}

void TDBGrid::SetOptions(TDBGridOptions value) {
    FOptionSets.SetOptions(std::move(value));
    LayoutChanged();
}

void TDBGrid::SetOptionsEx(TDBGridOptionsEx value) {
    FOptionSets.SetOptionsEx(std::move(value));
    LayoutChanged();
}

void TDBGrid::SetIndicatorOptions(TIndicatorOptions value) {
    FOptionSets.SetIndicatorOptions(std::move(value));
    LayoutChanged();
}

void TDBGrid::SetFlat(bool value) {
    if (value == FFlat) return;
    FFlat = value;
    LayoutChanged();
}

void TDBGrid::SetFixedColor(TColor value) {
    FFixedColor = value;
    invalidateGrid();
}

void TDBGrid::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    LayoutChanged();
}

void TDBGrid::SetTitleFont(const TFont& value) {
    FTitleFont = value;
    LayoutChanged();
}

void TDBGrid::applyFont() {
    TCustomControl::applyFont();
    if (Font() == FShownFont) return;
    // A font that comes from the parent reaches the titles as well.
    if (ParentFont()) FTitleFont = Font();
    LayoutChanged();
}

void TDBGrid::applyColor() {
    TCustomControl::applyColor();
    invalidateGrid();
}

unsigned TDBGrid::DialogCodes() const {
    unsigned codes = dlgcWantArrows | dlgcWantChars;
    if (FOptionSets.Has(dgTabs)) codes |= dlgcWantTab;
    return codes;
}

void TDBGrid::Notification(TComponent* component, bool removing) {
    TCustomControl::Notification(component, removing);
    if (!removing) return;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDBGridColumn* column = FColumns->Items(i);
        if (column->Field() == component) column->bindField(nullptr);
    }
}

// ---- the current cell -------------------------------------------------------

int TDBGrid::Row() const {
    return FTitleOffset + (FDataLink->Active() ? FDataLink->ActiveRecord() : 0);
}

void TDBGrid::SetSelectedIndex(int value) {
    if (FColumns->Count() == 0) return;
    value = std::clamp(value, 0, FColumns->Count() - 1);
    const int col = value + FIndicatorOffset;
    if (col == FCol) return;
    invalidateCell(FCol, Row());
    FCol = col;
    // Bring the column into view: scroll left to it, or right until it ends
    // inside the client area (or is the first scrollable column shown).
    const int oldLeft = FGeometry.LeftCol();
    const int clientWidth = ClientRect().Width();
    if (FCol < FGeometry.LeftCol()) FGeometry.SetLeftCol(FCol);
    while (FGeometry.LeftCol() < FCol) {
        const int left = FGeometry.ColLeft(FCol);
        if (left >= 0 && left + FGeometry.ColWidth(FCol) <= clientWidth) break;
        FGeometry.SetLeftCol(FGeometry.LeftCol() + 1);
    }
    if (FGeometry.LeftCol() != oldLeft) {
        updateScrollBars();
        invalidateGrid();
    } else {
        invalidateCell(FCol, Row());
    }
}

TDBGridColumn* TDBGrid::SelectedColumn() const {
    const int index = SelectedIndex();
    return index >= 0 && index < FColumns->Count() ? FColumns->Items(index) : nullptr;
}

// ---- cells ------------------------------------------------------------------

TGridCellType TDBGrid::GetCellType(int col, int row) const {
    return CellTypeAt(col, row, FIndicatorOffset, FTitleOffset, RowCount());
}

TGridDrawState TDBGrid::CellState(int col, int row) const {
    const bool fixed = col < FIndicatorOffset || row < FTitleOffset;
    const TForm* form = ParentForm();
    const bool activeControl = form && form->ActiveControl() == this;
    return CellDrawState(fixed, col == FCol && row == Row(), activeControl);
}

TCurrentCellLook TDBGrid::CurrentLook() const {
    const TForm* form = ParentForm();
    const bool activeControl = form && form->ActiveControl() == this;
    // This grid opens no in-place editor of its own (editorShowing false);
    // an editor holds the keyboard focus while it is open, which already
    // ends the highlight.
    return CurrentCellLook(Widget()->hasFocus(), activeControl, false,
                           FOptionSets.Has(dghHighlightFocus),
                           FOptionSets.Has(dgAlwaysShowSelection));
}

std::string TDBGrid::CellText(int col, int row) const {
    if (col < FIndicatorOffset || row < FTitleOffset || !FDataLink->Active()) return {};
    const int index = col - FIndicatorOffset;
    if (index >= FColumns->Count()) return {};
    const int record = row - FTitleOffset;
    if (record >= FDataLink->RecordCount()) return {};
    // The fields read the link's active record: make it this row's for the
    // time of the read, and nothing else in between.
    const int saved = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(record);
    struct Restore {
        TGridDataLink& link;
        int record;
        ~Restore() { link.SetActiveRecord(record); }
    } restore{*FDataLink, saved};
    return FColumns->Items(index)->DisplayText();
}

int TDBGrid::IndicatorImageOfRow(int row) const {
    if (!FDataLink->Active() || row - FTitleOffset != FDataLink->ActiveRecord()) return -1;
    return IndicatorImageFor(FDataLink->DataSet()->State(), FIncSearchRunning);
}

// ---- layout requests --------------------------------------------------------

void TDBGrid::LayoutChanged() {
    BeginLayout();
    EndLayout();
}

void TDBGrid::BeginLayout() {
    ++FLayoutLock;
}

void TDBGrid::EndLayout() {
    if (--FLayoutLock == 0) computeLayout();
}

void TDBGrid::columnsChanged() {
    LayoutChanged();
}

// ---- following the data link ------------------------------------------------

void TDBGrid::linkActiveChanged() {
    LayoutChanged();
}

void TDBGrid::linkDataSetChanged() {
    updateRowCount();
    FShownCurrentRow = Row();
    invalidateGrid();
}

void TDBGrid::linkDataSetScrolled(int distance) {
    const int oldRow = FShownCurrentRow;
    FShownCurrentRow = Row();
    QRegion dirty;
    if (std::abs(distance) > FVisibleRowCount) {
        dirty = QRegion(Widget()->rect());
    } else {
        dirty = scrollDataRows(distance);
        // The old current row has moved with the rows.
        dirty += rowRegion(oldRow - distance);
        dirty += rowRegion(FShownCurrentRow);
    }
    updateScrollBars();
    paintNow(dirty);
}

void TDBGrid::linkRecordChanged(TField* field) {
    bool shown = false;
    for (int i = 0; field && i < FColumns->Count(); ++i)
        shown = shown || FColumns->Items(i)->Field() == field;
    if (shown)
        invalidateRow(Row());
    else
        invalidateGrid();
}

void TDBGrid::linkEditingChanged() {
    if (FIndicatorOffset > 0) invalidateCell(0, Row());
}

void TDBGrid::linkLayoutChanged() {
    LayoutChanged();
}

bool TDBGrid::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint: {
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        FPaintRect = Bounds(r.x(), r.y(), r.width(), r.height());
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        // The current cell's highlight and focus rectangle follow the focus
        // and the window's activation.
        invalidateCell(FCol, Row());
        break;
    default:
        break;
    }
    return TCustomControl::widgetEvent(event);
}
