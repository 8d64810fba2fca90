#pragma once
// TPanelImage: a picture a caption panel draws behind its body (the area
// below the caption band), at the body's top-left corner. Empty by default.
// Changes are reported through OnChange, which the panel sets to repaint.

#include "platform/Classes.h"
#include "platform/widgets/Events.h"

#include <QImage>

class TPanelImage : public TObject {
public:
    bool Empty() const { return FImage.isNull(); }
    const QImage& Image() const { return FImage; }
    void SetImage(const QImage& image) {
        FImage = image;
        if (OnChange) OnChange(this);
    }

    TNotifyEvent OnChange;

private:
    QImage FImage;
};
