#include "grid/TDBGridColumn.h"

#include "data/TField.h"
#include "grid/TCustomDBGrid.h"
#include "grid/TDBGridColumns.h"

#include <QFontMetrics>

TDBGridColumn::TDBGridColumn(TDBGridColumns& collection) : FCollection(collection), FTitle(*this) {}

TCustomDBGrid& TDBGridColumn::Grid() const {
    return FCollection.Grid();
}

int TDBGridColumn::Index() const {
    return FCollection.IndexOf(this);
}

void TDBGridColumn::SetIndex(int value) {
    FCollection.Move(Index(), value);
}

void TDBGridColumn::SetFieldName(std::string value) {
    if (value == FFieldName) return;
    FFieldName = std::move(value);
    // The binding is made again by the layout below.
    FField = nullptr;
    changed();
}

TAlignment TDBGridColumn::Alignment() const {
    if (FAlignment) return *FAlignment;
    return FField ? FField->Alignment() : taLeftJustify;
}

void TDBGridColumn::SetAlignment(TAlignment value) {
    FAlignment = value;
    changed();
}

TColor TDBGridColumn::Color() const {
    return FColor ? *FColor : Grid().Color();
}

void TDBGridColumn::SetColor(TColor value) {
    FColor = value;
    changed();
}

TFont TDBGridColumn::Font() const {
    return FFont ? *FFont : Grid().Font();
}

void TDBGridColumn::SetFont(const TFont& value) {
    FFont = value;
    changed();
}

void TDBGridColumn::SetButtonStyle(TColumnButtonStyle value) {
    if (value == FButtonStyle) return;
    FButtonStyle = value;
    changed();
}

void TDBGridColumn::SetPickList(std::vector<std::string> value) {
    FPickList = std::move(value);
    changed();
}

void TDBGridColumn::SetEditButtons(std::vector<TColumnEditButton> value) {
    FEditButtons = std::move(value);
    changed();
}

void TDBGridColumn::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    changed();
}

void TDBGridColumn::SetReadOnly(bool value) {
    FReadOnly = value;
}

int TDBGridColumn::Width() const {
    return FWidth ? *FWidth : DefaultWidth();
}

void TDBGridColumn::SetWidth(int value) {
    FWidth = value;
    // Only the geometry follows: fonts and fields stay as they are.
    Grid().columnWidthChanged(Index());
}

int TDBGridColumn::DefaultWidth() const {
    if (!FField) return DefaultWidthWithoutField;
    QFontMetrics metrics(ToQFont(Font()));
    // TrueType faces have no overhang; the term stays for the formula's sake.
    const int overhang = 0;
    return (metrics.horizontalAdvance(QLatin1Char('0')) - overhang) * FField->DisplayWidth() +
           overhang + 4;
}

std::string TDBGridColumn::DisplayText() const {
    return FField ? FField->DisplayText() : std::string();
}

void TDBGridColumn::changed() {
    FCollection.changed();
}
