#pragma once
// TAutoSize: whether a caption panel fits itself to what it holds. Enabled,
// it takes the height (Height) and the width (Width) that its visible,
// unaligned children need inside the band, the bevels, the border and the
// status bar. Changes are reported through OnChange, which the panel sets to
// size itself.

#include "platform/Classes.h"
#include "platform/widgets/Events.h"

class TAutoSize : public TObject {
public:
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { set(FEnabled, value); }
    bool Height() const { return FHeight; }
    void SetHeight(bool value) { set(FHeight, value); }
    bool Width() const { return FWidth; }
    void SetWidth(bool value) { set(FWidth, value); }

    TNotifyEvent OnChange;

private:
    void set(bool& field, bool value) {
        if (field == value) return;
        field = value;
        if (OnChange) OnChange(this);
    }

    bool FEnabled = false;
    bool FHeight = true;
    bool FWidth = true;
};
