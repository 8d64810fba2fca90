#pragma once
// TComboBox: a drop-down list. Style csDropDownList lets the user only
// choose an item; csDropDown lets him type as well.
//
// Items are copied in and out as a whole (SetItems copies the lines, as
// assigning the framework's Items does). ItemIndex is -1 when nothing is
// chosen; setting an index outside the items chooses nothing, and the box
// then shows an empty text.

#include "platform/widgets/TEdit.h" // TBevelKind

#include <memory>

class TStrings;

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle value);
    const TStrings& Items() const;
    void SetItems(const TStrings& items);
    int ItemIndex() const;
    void SetItemIndex(int value);
    // The height of one line of the list.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind value);

    // The user chose another item or changed the typed text.
    TNotifyEvent OnChange;

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
    void updatePalette() override;

private:
    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TStrings> FItems;
    int FItemHeight = 13;
    TBevelKind FBevelKind = bkNone;
};
