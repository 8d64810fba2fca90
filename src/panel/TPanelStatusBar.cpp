#include "panel/TPanelStatusBar.h"

TPanelStatusBar::TPanelStatusBar() : FFont("Tahoma", -11, clWindowText) {}

void TPanelStatusBar::changed() {
    if (OnChange) OnChange(this);
}

void TPanelStatusBar::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    changed();
}

void TPanelStatusBar::SetHeight(int value) {
    if (value == FHeight) return;
    FHeight = value;
    changed();
}

void TPanelStatusBar::SetText(const std::string& value) {
    if (value == FText) return;
    FText = value;
    changed();
}

void TPanelStatusBar::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    changed();
}

void TPanelStatusBar::SetFont(const TFont& value) {
    if (value == FFont) return;
    FFont = value;
    changed();
}
