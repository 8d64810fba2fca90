// TCustomGrid: construction, settings, the current column, the in-place
// editor and the events of its widget.

#include "grid/TCustomGrid.h"

#include "grid/GridUnit.h"
#include "grid/TGridMoveLine.h"
#include "grid/TInplaceEdit.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TForm.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QTimerEvent>
#include <QStyle>
#include <QWidget>

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    StartGridUnit();
    QWidget* w = Widget();
    w->setFocusPolicy(Qt::StrongFocus);
    // Every pixel of the client area is painted, which also lets Qt move
    // painted rows with a real window scroll.
    w->setAttribute(Qt::WA_OpaquePaintEvent);
    SetTabStop(true);
    FVertScrollBar = new TDBGridScrollBar(Qt::Vertical, w);
    FHorzScrollBar = new TDBGridScrollBar(Qt::Horizontal, w);
    for (TDBGridScrollBar* bar : {FVertScrollBar, FHorzScrollBar}) {
        QObject::connect(bar, &QAbstractSlider::actionTriggered, w,
                         [this, bar](int action) { scrollBarAction(bar, action); });
        // Letting the thumb go is the thumb-position message.
        QObject::connect(bar, &QAbstractSlider::sliderReleased, w, [this, bar] {
            scrollMessage(bar, SB_THUMBPOSITION, bar->sliderPosition());
            scrollMessage(bar, SB_ENDSCROLL, 0);
        });
    }
}

TCustomGrid::~TCustomGrid() {
    // The marker window is shared and outlives the grid.
    if (FMouse.State == gsColMoving) TGridMoveLine::Shared().hide();
    QObject::disconnect(FVertScrollBar, nullptr, nullptr, nullptr);
    QObject::disconnect(FHorzScrollBar, nullptr, nullptr, nullptr);
    // The editor goes while the grid it reports to is whole.
    delete FInplaceEdit;
    FInplaceEdit = nullptr;
}

int TCustomGrid::SystemScrollBarWidth() {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TCustomGrid::SetGridOptions(TGridOptions value) {
    FGridOptions = std::move(value);
    if (FGridOptions.contains(goRowSelect) || !FGridOptions.contains(goEditing)) HideEditor();
}

void TCustomGrid::SetFixedColor(TColor value) {
    FFixedColor = value;
    invalidateGrid();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    UpdateClientArea();
    invalidateGrid();
}

int TCustomGrid::borderWidth() const {
    return FBorderStyle == bsSingle ? 2 : 0;
}

TRect TCustomGrid::ClientRect() const {
    return Rect(0, 0, FGeometry.ClientWidth(), FGeometry.ClientHeight());
}

TPoint TCustomGrid::ClientOrigin() const {
    return {borderWidth(), borderWidth()};
}

unsigned TCustomGrid::DialogCodes() const {
    unsigned codes = dlgcWantArrows | dlgcWantChars;
    if (FGridOptions.contains(goTabs)) codes |= dlgcWantTab;
    return codes;
}

// ---- the current column -----------------------------------------------------

void TCustomGrid::SetCurrentCol(int col) {
    const int old = Col();
    FGeometry.SetCol(col);
    const bool scrolled = FGeometry.MakeColVisible(Col());
    if (scrolled) {
        UpdateHorzScrollBar();
        invalidateGrid();
    } else if (Col() != old) {
        invalidateCell(old, Row());
        invalidateCell(Col(), Row());
    }
}

// ---- the in-place editor ----------------------------------------------------

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(*this);
}

bool TCustomGrid::IsActiveControl() const {
    const TForm* form = ParentForm();
    if (!form) return false;
    const TWinControl* active = form->ActiveControl();
    return active && (active == this || (FInplaceEdit && active == FInplaceEdit));
}

bool TCustomGrid::CanEditShow() const {
    if (FGridOptions.contains(goRowSelect) || !FGridOptions.contains(goEditing)) return false;
    if (!FGridOptions.contains(goAlwaysShowEditor) && !IsActiveControl()) return false;
    return Col() >= FGeometry.FixedCols() && Col() < FGeometry.ColCount();
}

bool TCustomGrid::EditorShowing() const {
    return FInplaceEdit && FEditorMode && !FInplaceEdit->Widget()->isHidden();
}

void TCustomGrid::SetEditorMode(bool value) {
    if (value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (!CanEditShow()) {
        HideEditor();
        return;
    }
    if (!FInplaceEdit) FInplaceEdit = CreateEditor();
    FEditorMode = true;
    if (FEditorOutOfDate || FEditorCol != Col() || FEditorRow != Row()) {
        FEditorOutOfDate = false;
        FEditorCol = Col();
        FEditorRow = Row();
        FInplaceEdit->UpdateContents();
    }
    UpdateEditorPlace();
    if (!FEditorMode) return;
    FInplaceEdit->Show();
    invalidateCell(Col(), Row());
    if (Widget()->hasFocus()) FInplaceEdit->Widget()->setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::HideEditor() {
    const bool wasOpen = FEditorMode;
    FEditorMode = false;
    if (!FInplaceEdit || FInplaceEdit->Widget()->isHidden()) return;
    // The focus comes back to the grid before the editor goes, or Qt would
    // pass it on to the next control of the window.
    if (FInplaceEdit->Widget()->hasFocus()) Widget()->setFocus(Qt::OtherFocusReason);
    FInplaceEdit->Hide();
    if (wasOpen) invalidateCell(Col(), Row());
}

void TCustomGrid::InvalidateEditor() {
    FEditorOutOfDate = true;
    if (!EditorShowing()) return;
    FEditorOutOfDate = false;
    FEditorCol = Col();
    FEditorRow = Row();
    FInplaceEdit->UpdateContents();
}

void TCustomGrid::UpdateEditorPlace() {
    if (!FInplaceEdit || !FEditorMode) return;
    const TRect cell = FGeometry.CellRect(Col(), Row());
    if (cell.Width() <= 0 || cell.Height() <= 0) {
        // The current cell is scrolled out of view.
        HideEditor();
        return;
    }
    const TPoint o = ClientOrigin();
    TRect r = Bounds(cell.Left + o.X, cell.Top + o.Y, cell.Width(), cell.Height());
    // Never over the border or the scroll bars.
    r.Right = std::min(r.Right, o.X + FGeometry.ClientWidth());
    r.Bottom = std::min(r.Bottom, o.Y + FGeometry.ClientHeight());
    FInplaceEdit->Place(r);
}

bool TCustomGrid::EditorKeyForGrid(uint16_t key, TShiftState shift) const {
    switch (key) {
    case VK_TAB:
        return !(shift & ssAlt);
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// ---- events -----------------------------------------------------------------

void TCustomGrid::boundsChanged(bool resized) {
    TCustomControl::boundsChanged(resized);
    if (!resized) return;
    SizeChanged();
    UpdateEditorPlace();
    invalidateGrid();
}

bool TCustomGrid::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint: {
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        FPaintRect = Bounds(r.x(), r.y(), r.width(), r.height());
        break;
    }
    case QEvent::FocusIn:
        // The open editor holds the focus for the grid.
        if (EditorShowing()) FInplaceEdit->Widget()->setFocus(Qt::OtherFocusReason);
        invalidateCell(Col(), Row());
        break;
    case QEvent::WindowDeactivate:
        // Another window has the mouse now: no release will come.
        CancelMode();
        [[fallthrough]];
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
        // The current cell's highlight and focus rectangle follow the focus
        // and the window's activation.
        invalidateCell(Col(), Row());
        break;
    case QEvent::Hide:
        CancelMode();
        break;
    case QEvent::Timer:
        if (static_cast<QTimerEvent*>(event)->timerId() == FMouse.AutoScrollTimer.timerId()) {
            HandleExceptions([this] { autoScrollTick(); });
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // The form has run the grid's KeyDown and KeyPress already; Qt's own
        // handling would move the focus on Tab.
        return true;
    default:
        break;
    }
    return TCustomControl::widgetEvent(event);
}

void TCustomGrid::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CANCELMODE:
        CancelMode();
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        TakeFocus();
        if (message.Msg == WM_VSCROLL)
            VertScrollMessage(static_cast<unsigned>(message.WParam),
                              static_cast<int>(message.LParam));
        else
            HorzScrollMessage(static_cast<unsigned>(message.WParam),
                              static_cast<int>(message.LParam));
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

void TCustomGrid::DoExit() {
    // The focus went to another control: a drag under way has lost the mouse.
    CancelMode();
    TCustomControl::DoExit();
}
