#include "grid/TColumnTitle.h"

#include "data/TField.h"
#include "grid/TCustomDBGrid.h"
#include "grid/TDBGridColumn.h"

std::string TColumnTitle::Caption() const {
    if (FCaption) return *FCaption;
    if (const TField* field = FColumn.Field()) return field->DisplayName();
    return FColumn.FieldName();
}

void TColumnTitle::SetCaption(std::string value) {
    FCaption = std::move(value);
    changed();
}

TAlignment TColumnTitle::Alignment() const {
    return FAlignment.value_or(taLeftJustify);
}

void TColumnTitle::SetAlignment(TAlignment value) {
    FAlignment = value;
    changed();
}

TColor TColumnTitle::Color() const {
    return FColor ? *FColor : FColumn.Grid().FixedColor();
}

void TColumnTitle::SetColor(TColor value) {
    FColor = value;
    changed();
}

TFont TColumnTitle::Font() const {
    return FFont ? *FFont : FColumn.Grid().TitleFont();
}

void TColumnTitle::SetFont(const TFont& value) {
    FFont = value;
    changed();
}

void TColumnTitle::RestoreDefaults() {
    FCaption.reset();
    FAlignment.reset();
    FColor.reset();
    FFont.reset();
    changed();
}

void TColumnTitle::changed() {
    FColumn.changed();
}
