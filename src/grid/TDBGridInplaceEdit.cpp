#include "grid/TDBGridInplaceEdit.h"

#include "data/TField.h"
#include "data/TNumericFields.h"
#include "data/engine/Variant.h"
#include "grid/TCustomDBGrid.h"
#include "grid/TEditButtonControl.h"
#include "grid/TGridDataLink.h"
#include "grid/TPopupMonthCalendar.h"
#include "platform/DateUtils.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

#include <cmath>

TDBGridInplaceEdit::TDBGridInplaceEdit(TCustomDBGrid& grid) : TInplaceEdit(grid), FDBGrid(grid) {
    ButtonEntry& first = buttonEntry(0);
    first.Button->OnLeftDown = [this] { dropDownButtonDown(); };
    first.Button->DragTo = [this](QPoint global) { return dropDownButtonDrag(global); };
    first.Button->OnLeftUp = [this](QPoint global, bool over) { dropDownButtonUp(global, over); };
}

TDBGridInplaceEdit::~TDBGridInplaceEdit() {
    // The calendar is a window beside the grid's, which may be gone already.
    delete FCalendar.data();
}

TEditStyle TDBGridInplaceEdit::EditStyleOf(const TDBGridColumn& column) {
    const TField* field = column.Field();
    const TGridDataLink& link = column.Grid().DataLink();
    TEditStyleSource source;
    source.ButtonStyle = column.ButtonStyle();
    source.Field = field;
    // This data layer has no lookup fields with key fields; a lookup field
    // would be the only way to a data list.
    source.UsableLookup =
        field && field->FieldKind() == fkLookup && link.Active() && !link.ReadOnly();
    source.HasPickList = !column.PickList().empty();
    source.ColumnReadOnly = column.ReadOnly();
    return EditStyleFor(source);
}

bool TDBGridInplaceEdit::hasMonthCalendar() const {
    return DropDownOf(FEditStyle, FDBGrid.SelectedField()) == eddMonthCalendar;
}

// ---- filling ------------------------------------------------------------------

void TDBGridInplaceEdit::UpdateContents() {
    // Another cell, or the same one refilled: an open calendar belongs to
    // what was there before.
    if (FListVisible) CloseUp(false);
    const TDBGridColumn* column = FDBGrid.SelectedColumn();
    FEditStyle = column ? EditStyleOf(*column) : esSimple;
    if (hasMonthCalendar() && !FCalendar) {
        FCalendar = new TPopupMonthCalendar(Widget());
        FCalendar->OnCloseUp = [this](bool accept) { CloseUp(accept); };
    }
    if (column) {
        SetFont(column->Font());
        SetColor(column->Color());
    }
    SetReadOnly(column && column->ReadOnly());
    TInplaceEdit::UpdateContents();
    const TField* field = column ? column->Field() : nullptr;
    if (field && field->DataType() == ftString) SetMaxLength(field->Size());
    chooseButtons(column);
    layoutButtons();
}

TDBGridInplaceEdit::ButtonEntry& TDBGridInplaceEdit::buttonEntry(int index) {
    while (static_cast<int>(FButtons.size()) <= index) {
        ButtonEntry entry;
        entry.Button = new TEditButtonControl(nullptr);
        entry.Button->SetParent(this);
        entry.Button->Hide();
        entry.Separator = new QWidget(LineEdit());
        entry.Separator->setAutoFillBackground(true);
        QPalette p = entry.Separator->palette();
        p.setColor(QPalette::Window, ToQColor(clBtnShadow));
        entry.Separator->setPalette(p);
        entry.Separator->hide();
        const size_t at = FButtons.size();
        if (at > 0) {
            entry.Button->OnClick = [this, at](TObject*) {
                if (at < FButtons.size() && FButtons[at].OnClick) FButtons[at].OnClick(&FDBGrid);
            };
        }
        FButtons.push_back(std::move(entry));
    }
    return FButtons[index];
}

void TDBGridInplaceEdit::chooseButtons(const TDBGridColumn* column) {
    ButtonEntry& own = buttonEntry(0);
    own.Visible = HasEditButton(FEditStyle);
    own.Button->SetStyle(EditButtonStyleOf(FEditStyle));
    own.Button->SetPressed(false);
    const std::vector<TColumnEditButton> none;
    const std::vector<TColumnEditButton>& extra = column ? column->EditButtons() : none;
    for (size_t i = 0; i < extra.size(); ++i) {
        ButtonEntry& entry = buttonEntry(static_cast<int>(i) + 1);
        entry.Visible = extra[i].Visible;
        entry.OnClick = extra[i].OnClick;
        entry.Button->SetStyle(extra[i].Style);
        entry.Button->SetPressed(false);
    }
    for (size_t i = extra.size() + 1; i < FButtons.size(); ++i) {
        FButtons[i].Visible = false;
        FButtons[i].OnClick = nullptr;
    }
}

// ---- layout -------------------------------------------------------------------

int TDBGridInplaceEdit::ButtonWidth() const {
    return FDBGrid.Flat() ? FlatButtonWidth + 1 : TCustomGrid::SystemScrollBarWidth();
}

void TDBGridInplaceEdit::layoutButtons() {
    const bool flat = FDBGrid.Flat();
    const int width = ButtonWidth();
    const int clientHeight = Height();
    int height = clientHeight;
    // One and a half widths less than the height: the button stays square
    // (one and a half times as high in a flat grid).
    if (width * 3 < clientHeight * 2) height = flat ? (width * 3 + 1) / 2 : width;
    int right = Width();
    for (ButtonEntry& entry : FButtons) {
        if (!entry.Visible) {
            entry.Button->Hide();
            entry.Separator->hide();
            continue;
        }
        right -= width;
        entry.Button->SetFlat(flat);
        if (flat) {
            entry.Separator->setGeometry(right, 0, 1, height);
            entry.Separator->show();
            entry.Button->SetBounds(right + 1, 0, width - 1, height);
        } else {
            entry.Separator->hide();
            entry.Button->SetBounds(right, 0, width, height);
        }
        entry.Button->Show();
    }
    FButtonsWidth = Width() - right;
}

void TDBGridInplaceEdit::LayoutTextArea() {
    layoutButtons();
    QLineEdit* edit = LineEdit();
    const bool flat = FDBGrid.Flat();
    // Qt's line edit keeps a margin of its own around the text: the margins
    // set here make up the rest. The text area grows by a pixel at the
    // bottom when it is lower than the font.
    int bottom = flat ? 1 : 0;
    const int areaHeight = Height() - (flat ? 1 : 2) - bottom;
    if (areaHeight < edit->fontMetrics().height() && bottom > 0) --bottom;
    edit->setTextMargins(0, flat ? 1 : 2, 2 + FButtonsWidth, bottom);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// ---- the month calendar -------------------------------------------------------

void TDBGridInplaceEdit::DropDown() {
    if (FListVisible || !hasMonthCalendar() || !FCalendar) return;
    FCalendar->SetLook(Font(), Color());
    // The day it opens on: the text's, today for no text, the field's (or
    // today's) for a text that is not a date.
    TDateTime day;
    const std::string text = Text();
    if (text.empty()) {
        day = ::Date();
    } else if (!TryStrToDateTime(text, day)) {
        const TField* field = FDBGrid.SelectedField();
        const TDateTime stored = field ? field->AsDateTime() : TDateTime(0);
        day = stored.Val() != 0 ? stored : ::Date();
    }
    FCalendar->SetDate(TDateTime(std::trunc(day.Val())));
    const int frame = 2 * TPopupMonthCalendar::FrameWidth;
    const QSize size = FCalendar->MinimumMonthSize() + QSize(frame, frame);
    const QPoint origin = LineEdit()->mapToGlobal(QPoint(0, 0));
    const TRect editor = Bounds(origin.x(), origin.y(), Width(), Height());
    FCalendar->Popup(DropDownBounds(editor, size.width(), size.height(), NearestWorkArea(editor)));
    FActiveList = eddMonthCalendar;
    FListVisible = true;
    Invalidate();
    FButtons[0].Button->SetPressed(true);
    FDroppedDown = true;
}

void TDBGridInplaceEdit::CloseUp(bool accept) {
    QWidget* focus = QApplication::focusWidget();
    const bool calendarFocused = FCalendar && focus && FCalendar->isAncestorOf(focus);
    if (calendarFocused) LineEdit()->setFocus(Qt::OtherFocusReason);
    if (FListVisible) {
        FButtons[0].Button->SetPressed(false);
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        FHandedOver = false;
        FNoClickCloseUp = false;
        if (FCalendar) FCalendar->Close();
        FDroppedDown = false;
        FListVisible = false;
        FActiveList = eddNone;
        Invalidate();
        if (accept) acceptDate();
    }
    // The keyboard is the grid's again, which its open editor holds for it;
    // a close caused by the focus going elsewhere leaves the focus there.
    if (calendarFocused && FDBGrid.CanFocus()) FDBGrid.SetFocus();
}

// The calendar's day with the time of day the field holds, written to the
// field as a value: a date field keeps the day. Only where the cell may be
// modified, which puts the record into edit.
void TDBGridInplaceEdit::acceptDate() {
    TField* field = FDBGrid.SelectedField();
    if (!field || !FCalendar || !FDBGrid.CanEditModify()) return;
    TDateTime current;
    if (!TryStrToDateTime(field->EditText(), current)) current = TDateTime(0);
    const double day = FCalendar->Date().Val();
    const double time = current.TimePart();
    field->SetAsVariant(Variant(TDateTime(day < 0 ? day - time : day + time)));
    // The grid has refilled the editor from the field, all selected.
    Deselect();
}

void TDBGridInplaceEdit::passKey(uint16_t key) {
    int qtKey = 0;
    switch (key) {
    case VK_PRIOR:
        qtKey = Qt::Key_PageUp;
        break;
    case VK_NEXT:
        qtKey = Qt::Key_PageDown;
        break;
    case VK_UP:
        qtKey = Qt::Key_Up;
        break;
    case VK_DOWN:
        qtKey = Qt::Key_Down;
        break;
    case VK_HOME:
        qtKey = Qt::Key_Home;
        break;
    case VK_END:
        qtKey = Qt::Key_End;
        break;
    case VK_LEFT:
        qtKey = Qt::Key_Left;
        break;
    case VK_RIGHT:
        qtKey = Qt::Key_Right;
        break;
    default:
        return;
    }
    FCalendar->PassKey(qtKey, Qt::NoModifier);
}

bool TDBGridInplaceEdit::PreProcessKey(uint16_t key, TShiftState shift, char ch) {
    if (!hasMonthCalendar()) return false;
    const TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
    if (FListVisible && (ch == '%' || ch == '\'')) {
        passKey(ch == '%' ? VK_LEFT : VK_RIGHT);
        return true;
    }
    if ((key == VK_DOWN || key == VK_UP) && (mods & ssAlt)) {
        if (FListVisible)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    if (FListVisible && (key == VK_RETURN || key == VK_ESCAPE) && !(mods & ssAlt)) {
        CloseUp(key == VK_RETURN);
        return true;
    }
    if (!FListVisible && key == VK_RETURN && mods == ssCtrl) {
        DropDown();
        return true;
    }
    if (!FListVisible) return false;
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        if (mods & ssShift) return false;
        break;
    case VK_HOME:
    case VK_END:
        if (!(mods & ssCtrl)) return false;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        break;
    default:
        return false;
    }
    passKey(key);
    return true;
}

// ---- the drop-down button's mouse ---------------------------------------------

void TDBGridInplaceEdit::dropDownButtonDown() {
    if (!hasMonthCalendar()) return;
    FHandedOver = false;
    if (FListVisible) {
        FNoClickCloseUp = false;
        return;
    }
    DropDown();
    FNoClickCloseUp = FListVisible;
}

bool TDBGridInplaceEdit::dropDownButtonDrag(QPoint global) {
    if (!FListVisible || !FCalendar) return false;
    if (FHandedOver) {
        FCalendar->HandOverMove(global);
        return true;
    }
    if (!FCalendar->ContainsGlobal(global)) return false;
    FHandedOver = true;
    FCalendar->HandOverPress(global);
    return true;
}

void TDBGridInplaceEdit::dropDownButtonUp(QPoint global, bool overButton) {
    if (FHandedOver) {
        FHandedOver = false;
        FNoClickCloseUp = false;
        if (FCalendar) FCalendar->HandOverRelease(global);
        return;
    }
    // The click that opened the calendar does not close it again.
    if (overButton && FListVisible && !FNoClickCloseUp) CloseUp(false);
    FNoClickCloseUp = false;
}

// ---- keys, paste and events ---------------------------------------------------

void TDBGridInplaceEdit::KeyPress(char& key) {
    // Either decimal key gives the user's separator in a number cell.
    if ((key == '.' || key == ',') && FEditStyle == esSimple &&
        dynamic_cast<const TNumericField*>(FDBGrid.SelectedField()))
        key = FormatSettings.DecimalSeparator;
    TInplaceEdit::KeyPress(key);
}

QString TDBGridInplaceEdit::PasteText(const QString& text) const {
    const TField* field = FDBGrid.SelectedField();
    QString kept;
    for (const char32_t c : text.toUcs4())
        if (c >= 32 && (!field || field->IsValidChar(c))) kept += QString::fromUcs4(&c, 1);
    return kept;
}

bool TDBGridInplaceEdit::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut:
    case QEvent::Hide:
        // The calendar never holds the focus itself: losing it, or the
        // editor going, closes it without a choice.
        if (FListVisible) CloseUp(false);
        break;
    case QEvent::Wheel:
        if (FListVisible) return true;
        break;
    default:
        break;
    }
    return TInplaceEdit::widgetEvent(event);
}
