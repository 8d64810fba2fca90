#include "grid/TDBGridInplaceEdit.h"

#include "data/TField.h"
#include "grid/TCustomDBGrid.h"

#include <QLineEdit>

TDBGridInplaceEdit::TDBGridInplaceEdit(TCustomDBGrid& grid) : TInplaceEdit(grid), FDBGrid(grid) {}

TEditStyle TDBGridInplaceEdit::EditStyleOf(const TDBGridColumn& column) {
    const TField* field = column.Field();
    if (!field || column.ReadOnly()) return esSimple;
    switch (field->DataType()) {
    case ftDate:
    case ftDateTime:
    case ftTimeStamp:
        return esDateCalendar;
    default:
        return esSimple;
    }
}

void TDBGridInplaceEdit::UpdateContents() {
    const TDBGridColumn* column = FDBGrid.SelectedColumn();
    FEditStyle = column ? EditStyleOf(*column) : esSimple;
    if (column) {
        SetFont(column->Font());
        SetColor(column->Color());
    }
    SetReadOnly(column && column->ReadOnly());
    TInplaceEdit::UpdateContents();
    const TField* field = column ? column->Field() : nullptr;
    if (field && field->DataType() == ftString) SetMaxLength(field->Size());
}

void TDBGridInplaceEdit::LayoutTextArea() {
    QLineEdit* edit = LineEdit();
    const bool flat = FDBGrid.Flat();
    // Qt's line edit keeps a margin of its own around the text: the margins
    // set here make up the rest.
    edit->setTextMargins(0, flat ? 1 : 2, 2 + ButtonsWidth(), flat ? 1 : 0);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
