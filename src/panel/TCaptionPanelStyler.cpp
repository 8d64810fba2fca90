#include "panel/TCaptionPanelStyler.h"

#include "panel/TCustomCaptionPanel.h"

TCaptionPanelStyler::~TCaptionPanelStyler() {
    std::vector<TCustomCaptionPanel*> panels = FPanels;
    for (TCustomCaptionPanel* panel : panels)
        panel->SetStyler(nullptr);
}

void TCaptionPanelStyler::SetSettings(const TPanelSettings& settings) {
    FSettings = settings;
    std::vector<TCustomCaptionPanel*> panels = FPanels;
    for (TCustomCaptionPanel* panel : panels)
        panel->ApplySettings(FSettings);
}
