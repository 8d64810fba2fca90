#include "grid/TDBGridScrollBar.h"

#include <QWheelEvent>

TDBGridScrollBar::TDBGridScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    setFocusPolicy(Qt::NoFocus);
    // An opaque bar repaints alone, not the grid's cells under it.
    setAutoFillBackground(true);
    hide();
}

void TDBGridScrollBar::SetTracking(bool value) {
    FTracking = value;
    setTracking(value);
}

bool TDBGridScrollBar::Wanted(bool somethingToScroll) const {
    switch (FVisibleMode) {
    case sbAlwaysShow:
        return true;
    case sbNeverShow:
        return false;
    case sbAutoShow:
        break;
    }
    return somethingToScroll;
}

void TDBGridScrollBar::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
