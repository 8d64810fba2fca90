#pragma once
// TDBGridInplaceEdit: the data grid's cell editor, one per grid, reused for
// every cell. Filling it for a cell chooses the cell's edit style
// (EditStyles.h) from the column and its field, takes the column's font,
// colour and read-only setting, and sets the text to the field's edit text
// with no mask and no length limit (a text field's size for string fields).
//
// Buttons. Entry 0 of the button list is the edit style's own button
// (hidden for the plain style), then one entry per item of the column's
// EditButtons. Every placement lays them out: each is ButtonWidth() wide
// (in a flat grid with a separator line left of it), as high as the editor
// unless one and a half widths are less than that (then one width high, one
// and a half in a flat grid), stacked from the right edge; the text keeps
// to their left (ButtonsWidth).
//
// The month calendar (date-calendar styles) opens by Alt+Down or Alt+Up,
// Ctrl+Enter or a left press on the button, on the editor's text as a date
// (today when the text is empty, the field's date or today when the text is
// not a date), below the editor or above it where the screen has room
// (TPopupMonthCalendar.h). While it is open the editor keeps the focus and
// hands it the keys that move its day (the arrows, Page Up and Page Down,
// Ctrl+Home and Ctrl+End, and the characters "%" and "'", which stand for
// Left and Right); Enter, Alt+Down and Alt+Up close it accepting the day,
// Esc, a second click on the button, a press anywhere else, losing the
// focus or hiding the editor close it cancelling. These keys are taken
// before the window's key preview sees them. Accepting writes the day (with
// the time of day the field held) to the field when the cell may be
// modified; the grid then shows it in the editor, the caret at the end.
//
// Number fields in the plain style: a typed "." or "," is the user's
// decimal separator. Pasting keeps only the characters the field takes.

#include "grid/EditStyles.h"
#include "grid/TInplaceEdit.h"
#include "grid/TPopupMonthCalendar.h"

#include <QPointer>

#include <vector>

class TCustomDBGrid;
class TDBGridColumn;
class TEditButtonControl;

class TDBGridInplaceEdit : public TInplaceEdit {
public:
    // The width of a button in a flat grid, separator excluded.
    static constexpr int FlatButtonWidth = 13;

    explicit TDBGridInplaceEdit(TCustomDBGrid& grid);
    ~TDBGridInplaceEdit() override;

    TCustomDBGrid& DBGrid() const { return FDBGrid; }
    TEditStyle EditStyle() const { return FEditStyle; }
    // The style a column's cells are edited in.
    static TEditStyle EditStyleOf(const TDBGridColumn& column);

    // Entry 0 is the style's button; further entries the column's buttons.
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TEditButtonControl* Buttons(int index) const { return FButtons.at(index).Button; }
    // One button's width: the system's vertical scroll bar in a grid that
    // is not flat, FlatButtonWidth and its separator in a flat one.
    int ButtonWidth() const;
    // The width the visible buttons take on the right.
    int ButtonsWidth() const { return FButtonsWidth; }

    // The drop-down open now (eddNone when closed).
    TEditDropDown ActiveList() const { return FActiveList; }
    bool ListVisible() const { return FListVisible; }
    bool DroppedDown() const { return FDroppedDown; }
    // Null until a date cell first needs it; then kept, hidden when closed.
    TPopupMonthCalendar* Calendar() const { return FCalendar; }
    // Opens the style's drop-down (only the month calendar is built);
    // closes it, writing the calendar's day to the field on accept.
    virtual void DropDown();
    virtual void CloseUp(bool accept);

    void UpdateContents() override;
    bool PreProcessKey(uint16_t key, TShiftState shift, char ch) override;
    void KeyPress(char& key) override;

protected:
    void LayoutTextArea() override;
    QString PasteText(const QString& text) const override;
    bool widgetEvent(QEvent* event) override;

private:
    struct ButtonEntry {
        TEditButtonControl* Button = nullptr;
        QWidget* Separator = nullptr; // shown in a flat grid only
        bool Visible = false;
        TNotifyEvent OnClick;
    };

    bool hasMonthCalendar() const;
    void chooseButtons(const TDBGridColumn* column);
    ButtonEntry& buttonEntry(int index);
    void layoutButtons();
    void passKey(uint16_t key);
    void acceptDate();
    // The drop-down button's mouse.
    void dropDownButtonDown();
    bool dropDownButtonDrag(QPoint global);
    void dropDownButtonUp(QPoint global, bool overButton);

    TCustomDBGrid& FDBGrid;
    TEditStyle FEditStyle = esSimple;
    std::vector<ButtonEntry> FButtons;
    int FButtonsWidth = 0;
    TEditDropDown FActiveList = eddNone;
    bool FListVisible = false;
    bool FDroppedDown = false;
    bool FNoClickCloseUp = false; // the press that opened it is not yet released
    bool FHandedOver = false;     // that press went on into the calendar
    QPointer<TPopupMonthCalendar> FCalendar;
};
