#pragma once
// TGraphicControl: a control that never holds the focus and has no children
// (labels, speed buttons).

#include "platform/widgets/TControl.h"

class TGraphicControl : public TControl {
protected:
    TGraphicControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {}
};
