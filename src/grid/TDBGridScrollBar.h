#pragma once
// TDBGridScrollBar: one of the grid's two scroll bars, with its settings.
//
// VisibleMode says when the bar shows: sbAutoShow when there is something to
// scroll (the grid decides what that is), sbAlwaysShow always, sbNeverShow
// never. Tracking: dragging the thumb scrolls the grid while the thumb moves;
// without it the grid follows only when the thumb is let go. SmoothStep asks
// for scrolling by pixels instead of whole columns; this grid scrolls by whole
// columns either way and keeps the setting for the form that sets it.
//
// A wheel turned over a bar is the grid's: the bar lets it go on to the grid,
// as the wheel turned over the cells.

#include <QScrollBar>

enum TScrollBarVisibleMode { sbAutoShow, sbAlwaysShow, sbNeverShow };

class TDBGridScrollBar : public QScrollBar {
public:
    TDBGridScrollBar(Qt::Orientation orientation, QWidget* parent);

    TScrollBarVisibleMode VisibleMode() const { return FVisibleMode; }
    void SetVisibleMode(TScrollBarVisibleMode value) { FVisibleMode = value; }
    bool Tracking() const { return FTracking; }
    void SetTracking(bool value);
    bool SmoothStep() const { return FSmoothStep; }
    void SetSmoothStep(bool value) { FSmoothStep = value; }

    // Whether the bar shows when there is (or is not) something to scroll.
    bool Wanted(bool somethingToScroll) const;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    TScrollBarVisibleMode FVisibleMode = sbAutoShow;
    bool FTracking = true;
    bool FSmoothStep = false;
};
