#include "panel/TPanelCaption.h"

#include "platform/widgets/TControl.h"

TPanelCaption::TPanelCaption() : FFont("MS Sans Serif", -11, clHighlightText) {}

void TPanelCaption::changed() {
    if (OnChange) OnChange(this);
}

void TPanelCaption::shadeChanged() {
    if (OnShadeChange) OnShadeChange(this);
    changed();
}

void TPanelCaption::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    changed();
    if (OnStateChange) OnStateChange(this);
}

void TPanelCaption::SetText(const std::string& value) {
    if (value == FText) return;
    FText = value;
    changed();
}

void TPanelCaption::SetHeight(int value) {
    if (value == FHeight) return;
    FHeight = value;
    changed();
}

void TPanelCaption::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    shadeChanged();
}

void TPanelCaption::SetColorTo(TColor value) {
    if (value == FColorTo) return;
    FColorTo = value;
    changed();
}

void TPanelCaption::SetGradientDirection(TGradientDirection value) {
    if (value == FGradientDirection) return;
    FGradientDirection = value;
    changed();
}

void TPanelCaption::SetFont(const TFont& value) {
    if (value == FFont) return;
    FFont = value;
    changed();
}

void TPanelCaption::SetIndent(int value) {
    if (value == FIndent) return;
    FIndent = value;
    changed();
}

void TPanelCaption::SetTopIndent(int value) {
    if (value == FTopIndent) return;
    FTopIndent = value;
    changed();
}

void TPanelCaption::SetPosition(TCaptionPosition value) {
    if (value == FPosition) return;
    FPosition = value;
    if (OnPositionChange) OnPositionChange(this);
}

void TPanelCaption::ChangeScale(int M, int D) {
    FHeight = MulDiv(FHeight, M, D);
    FFont.SetSize(MulDiv(FFont.Size(), M, D));
}
