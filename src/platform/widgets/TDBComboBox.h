#pragma once
// TDBComboBox: a text box with a list that drops down below it.
//
// Without KeyItems the box takes free text and its list offers the Items.
// With KeyItems (one key for each item) it is a pick-only list: its text is
// always one of the items or empty. Typing selects the first item that
// begins with the characters typed so far, compared without case, and shows
// the rest of that item selected; a character that continues no item starts
// the typing anew, and one that begins no item is dropped; Backspace takes
// the last typed character back. A click in the text part opens the list.
//
// The list shows at most DropDownRows rows; with DropDownSizable it has a
// size grip, and keeps the size the user gives it while the box lives.
//
// Items and KeyItems are copied in and out as a whole. OnChange runs
// whenever the text changes, by the user or by the program.
//
// This edition's box holds its own text only: no window of the program ties
// one to a field.

#include "platform/widgets/TWinControl.h"

#include <memory>

class QString;
class TStrings;
class DBComboWidget;

class TDBComboBox : public TWinControl {
public:
    explicit TDBComboBox(TComponent* owner);
    ~TDBComboBox() override;

    const TStrings& Items() const;
    // Keeps the text: free text as it is, a pick-only box's when it is still
    // an item (else the box shows nothing).
    void SetItems(const TStrings& items);
    const TStrings& KeyItems() const;
    void SetKeyItems(const TStrings& keys);
    bool PickOnly() const;

    // -1 when the text is none of the items.
    int ItemIndex() const;
    void SetItemIndex(int value);

    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int value);
    bool DropDownSizable() const { return FDropDownSizable; }
    void SetDropDownSizable(bool value) { FDropDownSizable = value; }
    bool DroppedDown() const;
    void SetDroppedDown(bool value);

    TNotifyEvent OnChange;

    void KeyPress(char& key) override;

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
    void updatePalette() override;

private:
    friend class DBComboWidget;
    DBComboWidget* combo() const;
    void textChanged();
    int findPrefix(const QString& prefix) const;
    void typeCharacter(const QString& ch);
    void backspace();
    void selectTyped(int index, int typedLength);
    void fillWidget();

    std::unique_ptr<TStrings> FItems;
    std::unique_ptr<TStrings> FKeyItems;
    int FDropDownRows = 7;
    bool FDropDownSizable = false;
    std::string FLastText;
    bool FTyping = false;
};
