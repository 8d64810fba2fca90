#pragma once
// TGridMoveLine: the marker that shows where a column dragged by its title
// will drop. One borderless popup window for the whole program (for the
// application object's life), made on first use and shared by every grid: 7 pixels wide, red on white with the
// white see-through (a window mask), a downward triangle of 7, 5 and 3
// pixels at the top, a 1-pixel line, and an upward triangle of 3, 5 and 7
// pixels at the bottom. It never takes the focus or the mouse.

#include <QRegion>
#include <QWidget>

class TGridMoveLine : public QWidget {
public:
    static constexpr int MarkerWidth = 7;

    static TGridMoveLine& Shared();

    // The red shapes of a marker that high (its mask).
    static QRegion Shape(int height);

    // Shows the marker with its line at boundaryX (screen coordinates) over
    // rows that begin at rowsTop and are rowsHeight high: 3 pixels left of
    // the line, 4 pixels above the rows and 8 pixels taller than them, so
    // that the triangles stand out.
    void ShowAt(int boundaryX, int rowsTop, int rowsHeight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGridMoveLine();
};
