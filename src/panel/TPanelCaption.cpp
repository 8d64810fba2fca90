#include "panel/TPanelCaption.h"

TPanelCaption::TPanelCaption() : FFont("MS Sans Serif", -11, clHighlightText) {}

void TPanelCaption::changed() {
    if (OnChange) OnChange();
}

void TPanelCaption::SetVisible(bool value) {
    FVisible = value;
    changed();
}

void TPanelCaption::SetText(const std::string& value) {
    FText = value;
    changed();
}

void TPanelCaption::SetHeight(int value) {
    FHeight = value;
    changed();
}

void TPanelCaption::SetColor(TColor value) {
    FColor = value;
    changed();
}

void TPanelCaption::SetFont(const TFont& value) {
    FFont = value;
    changed();
}

void TPanelCaption::SetIndent(int value) {
    FIndent = value;
    changed();
}

void TPanelCaption::SetTopIndent(int value) {
    FTopIndent = value;
    changed();
}
