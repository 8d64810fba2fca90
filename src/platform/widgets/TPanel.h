#pragma once
// TPanel: the plain panel of the forms.

#include "platform/widgets/TCustomPanel.h"

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};
