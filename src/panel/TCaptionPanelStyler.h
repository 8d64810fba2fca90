#pragma once
// TCaptionPanelStyler: one look shared by several caption panels. A panel
// whose Styler is set takes the styler's settings at once and again whenever
// they change. A styler that is destroyed leaves its panels as they look,
// without a styler.

#include "panel/TPanelSettings.h"
#include "platform/Classes.h"

#include <vector>

class TCustomCaptionPanel;

class TCaptionPanelStyler : public TComponent {
public:
    explicit TCaptionPanelStyler(TComponent* owner) : TComponent(owner) {}
    ~TCaptionPanelStyler() override;

    const TPanelSettings& Settings() const { return FSettings; }
    void SetSettings(const TPanelSettings& settings);

private:
    friend class TCustomCaptionPanel;
    TPanelSettings FSettings;
    std::vector<TCustomCaptionPanel*> FPanels;
};
