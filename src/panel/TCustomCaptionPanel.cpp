#include "panel/TCustomCaptionPanel.h"

#include "panel/TCaptionPanelStyler.h"
#include "panel/TPanelSettings.h"

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <algorithm>

TCustomCaptionPanel::TCustomCaptionPanel(TComponent* owner) : TCustomPanel(owner) {
    FCaption.OnChange = [this](TObject*) { captionChanged(); };
    FCaption.OnShadeChange = [this](TObject*) { UpdateShading(); };
    FCaption.OnStateChange = [this](TObject*) { StateChange(); };
    FCaption.OnPositionChange = [this](TObject*) { captionPositionChanged(); };
    FStatusBar.OnChange = [this](TObject*) {
        // Showing, hiding or resizing the bar moves the children's bottom.
        Realign();
        Invalidate();
    };
    FAutoSize.OnChange = [this](TObject*) { doAutoSize(); };
    FBackground.OnChange = [this](TObject*) { Invalidate(); };
    // Every pixel is painted, so Qt need not clear the widget first.
    Widget()->setAttribute(Qt::WA_OpaquePaintEvent);
}

TCustomCaptionPanel::~TCustomCaptionPanel() {
    SetStyler(nullptr);
}

const std::string& TCustomCaptionPanel::Version() const {
    static const std::string version = "1.0.0.0";
    return version;
}

void TCustomCaptionPanel::SetColorTo(TColor value) {
    FColorTo = value;
    Invalidate();
}

void TCustomCaptionPanel::SetBorderColor(TColor value) {
    FBorderColor = value;
    Invalidate();
}

void TCustomCaptionPanel::SetBuffered(bool value) {
    FBuffered = value;
    Invalidate();
}

void TCustomCaptionPanel::captionChanged() {
    if (ControlCount() > 0) Realign();
    Invalidate();
}

void TCustomCaptionPanel::captionPositionChanged() {
    doAutoSize();
    // The band moved to another edge: so does the children's area.
    Realign();
    UpdateShading();
    Invalidate();
}

void TCustomCaptionPanel::AdjustClientRect(TRect& rect) const {
    const bool left = FCaption.Position() == cpLeft;
    // A fixed 2 whatever the bevel: the band's last row (column) is the
    // first one the children may use.
    if (FCaption.Visible()) {
        if (!left && rect.Top < FCaption.Height()) rect.Top = FCaption.Height() - 2;
        if (left && rect.Left < FCaption.Height()) rect.Left = FCaption.Height() - 2;
    }
    if (FStatusBar.Visible()) {
        if (!left) rect.Bottom = std::min(rect.Bottom, Height() - FStatusBar.Height());
        if (left) rect.Right = std::min(rect.Right, Width() - FStatusBar.Height());
    }
    TCustomPanel::AdjustClientRect(rect);
}

void TCustomCaptionPanel::boundsChanged(bool resized) {
    if (resized) {
        for (int i = 0; i < ControlCount(); ++i)
            Controls(i)->Invalidate();
        Invalidate();
    }
    TCustomPanel::boundsChanged(resized);
}

void TCustomCaptionPanel::childrenChanged() {
    TCustomPanel::childrenChanged();
    doAutoSize();
}

void TCustomCaptionPanel::doAutoSize() {
    if (!FAutoSize.Enabled() || FAutoSizing) return;
    int right = 0, bottom = 0;
    bool any = false;
    for (int i = 0; i < ControlCount(); ++i) {
        // Aligned children take their size from the panel, not the other way.
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone) continue;
        any = true;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (!any) return;
    TRect area = ClientRect();
    AdjustClientRect(area);
    int width = FAutoSize.Width() ? right + (Width() - area.Right) : Width();
    int height = FAutoSize.Height() ? bottom + (Height() - area.Bottom) : Height();
    FAutoSizing = true;
    SetBounds(Left(), Top(), width, height);
    FAutoSizing = false;
}

void TCustomCaptionPanel::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    // Stored quietly: the alignment that ends the framework's scaling puts
    // the children below the new band.
    FCaption.ChangeScale(M, D);
    TCustomPanel::ChangeScale(M, D);
    Invalidate();
}

void TCustomCaptionPanel::SetStyler(TCaptionPanelStyler* value) {
    if (value == FStyler) return;
    if (FStyler) std::erase(FStyler->FPanels, this);
    FStyler = value;
    if (!FStyler) return;
    FStyler->FPanels.push_back(this);
    ApplySettings(FStyler->Settings());
}

void TCustomCaptionPanel::ApplySettings(const TPanelSettings& settings) {
    SetColor(settings.Color);
    SetColorTo(settings.ColorTo);
    SetBorderColor(settings.BorderColor);
    SetBevelOuter(settings.BevelOuter);
    SetBevelInner(settings.BevelInner);
    FCaption.SetColor(settings.CaptionColor);
    FCaption.SetColorTo(settings.CaptionColorTo);
    FCaption.SetFont(settings.CaptionFont);
}

bool TCustomCaptionPanel::shadingCacheCurrent() const {
    TRect band = CaptionBandRect();
    return FShadingCache.width() == band.Width() && FShadingCache.height() == band.Height() &&
           FShadedFrom == FCaption.Color() && FShadedTo == FCaption.ColorTo() &&
           FShadedDirection == FCaption.GradientDirection();
}

void TCustomCaptionPanel::UpdateShading() {
    TRect band = CaptionBandRect();
    FShadedFrom = FCaption.Color();
    FShadedTo = FCaption.ColorTo();
    FShadedDirection = FCaption.GradientDirection();
    if (band.Width() <= 0 || band.Height() <= 0) {
        FShadingCache = QImage();
        return;
    }
    FShadingCache = QImage(band.Width(), band.Height(), QImage::Format_RGB32);
    if (FShadedTo == clNone) {
        FShadingCache.fill(ToQColor(FShadedFrom));
        return;
    }
    QPainter p(&FShadingCache);
    QLinearGradient gradient(0, 0, FShadedDirection == gdHorizontal ? band.Width() : 0,
                             FShadedDirection == gdVertical ? band.Height() : 0);
    gradient.setColorAt(0, ToQColor(FShadedFrom));
    gradient.setColorAt(1, ToQColor(FShadedTo));
    p.fillRect(FShadingCache.rect(), gradient);
}
