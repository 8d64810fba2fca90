#pragma once
// TCaptionPanel: the caption panel as forms create it (see
// TCustomCaptionPanel for what it does).

#include "panel/TCustomCaptionPanel.h"

class TCaptionPanel : public TCustomCaptionPanel {
public:
    explicit TCaptionPanel(TComponent* owner) : TCustomCaptionPanel(owner) {}
};
