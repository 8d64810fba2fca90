#pragma once
// TDBGridColumn: one column of the data grid, an item of TDBGridColumns.
//
// A column shows the field named by FieldName. The grid binds it to the field
// each time it computes its layout (Field() is the field found then, null
// when the dataset has no such field or no dataset is there); a column
// without a field shows nothing and is DefaultWidthWithoutField wide.
//
// A property the program has not set follows its default, re-read on every
// use: Color the grid's Color, Font the grid's Font, Alignment the field's
// (left without a field), Width the default width until a width is set (the
// user sizing the column sets one), then the stored width. Changing a
// property makes the grid lay itself out again, except the width, which
// goes to the grid's geometry alone.

#include "grid/EditStyles.h"
#include "grid/TColumnTitle.h"
#include "platform/Classes.h"
#include "platform/widgets/Events.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <optional>
#include <string>
#include <vector>

class TCustomDBGrid;
class TDBGridColumns;
class TField;

// One button the column adds to its cell editor, right of the edit style's
// own. Invisible buttons take no room.
struct TColumnEditButton {
    TEditButtonStyle Style = ebsEllipsis;
    bool Visible = true;
    TNotifyEvent OnClick;
};

class TDBGridColumn {
public:
    static constexpr int DefaultWidthWithoutField = 64;

    explicit TDBGridColumn(TDBGridColumns& collection);
    TDBGridColumn(const TDBGridColumn&) = delete;
    TDBGridColumn& operator=(const TDBGridColumn&) = delete;

    TDBGridColumns& Collection() const { return FCollection; }
    TCustomDBGrid& Grid() const;
    // The place in the collection; setting it moves the column there.
    int Index() const;
    void SetIndex(int value);

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(std::string value);
    // The field bound at the last layout, or null.
    TField* Field() const { return FField; }

    TColumnTitle& Title() { return FTitle; }
    const TColumnTitle& Title() const { return FTitle; }

    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    TColor Color() const;
    void SetColor(TColor value);
    TFont Font() const;
    void SetFont(const TFont& value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);

    // The stored width when one was set, else DefaultWidth().
    int Width() const;
    void SetWidth(int value);
    bool WidthStored() const { return FWidth.has_value(); }
    // With a field: (width of "0" - overhang) x the field's DisplayWidth +
    // overhang + 4, measured in the column's font; without one 64. The title
    // caption does not widen the column.
    int DefaultWidth() const;

    // How the cells are edited (EditStyles.h): cbsAuto, no pick list and no
    // further buttons by default. The editor reads them each time it is
    // filled for a cell of the column.
    TColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TColumnButtonStyle value);
    const std::vector<std::string>& PickList() const { return FPickList; }
    void SetPickList(std::vector<std::string> value);
    const std::vector<TColumnEditButton>& EditButtons() const { return FEditButtons; }
    void SetEditButtons(std::vector<TColumnEditButton> value);

    // The text of the cell for the record the grid's data link has made
    // active: the field's display text, empty without a field.
    std::string DisplayText() const;

private:
    friend class TCustomDBGrid;
    friend class TColumnTitle;
    void bindField(TField* field) { FField = field; }
    void changed();

    TDBGridColumns& FCollection;
    std::string FFieldName;
    TField* FField = nullptr;
    TColumnTitle FTitle;
    std::optional<TAlignment> FAlignment;
    std::optional<TColor> FColor;
    std::optional<TFont> FFont;
    std::optional<int> FWidth;
    bool FVisible = true;
    bool FReadOnly = false;
    TColumnButtonStyle FButtonStyle = cbsAuto;
    std::vector<std::string> FPickList;
    std::vector<TColumnEditButton> FEditButtons;
};
