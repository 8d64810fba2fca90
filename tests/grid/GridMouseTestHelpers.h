#pragma once
// The mouse for the grid's tests: presses, moves, releases and wheel turns
// sent to the grid's widget as Qt sends them to the widget that holds the
// mouse, at points given in the grid's client coordinates (those of its
// cells); and the points of cells, titles and column boundaries.

#include "GridKeyTestHelpers.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace gridtest {

class GridMouse {
public:
    explicit GridMouse(TCustomGrid* grid) : FGrid(grid) {}

    void Press(TPoint p, Qt::MouseButton button = Qt::LeftButton) {
        FHeld |= button;
        send(QEvent::MouseButtonPress, p, button);
    }
    void Move(TPoint p) { send(QEvent::MouseMove, p, Qt::NoButton); }
    void Release(TPoint p, Qt::MouseButton button = Qt::LeftButton) {
        FHeld &= ~button;
        send(QEvent::MouseButtonRelease, p, button);
    }
    void Click(TPoint p, Qt::MouseButton button = Qt::LeftButton) {
        Press(p, button);
        Release(p, button);
    }
    // Press, release, then the second press a double click is made of.
    void DoubleClick(TPoint p) {
        Click(p);
        FHeld |= Qt::LeftButton;
        send(QEvent::MouseButtonDblClick, p, Qt::LeftButton);
        Release(p);
    }
    // A drag from one point to another with moves on the way.
    void Drag(TPoint from, TPoint to, Qt::MouseButton button = Qt::LeftButton) {
        Press(from, button);
        Move({(from.X + to.X) / 2, (from.Y + to.Y) / 2});
        Move(to);
        Release(to, button);
    }
    // Wheel turns of delta (120 a notch, positive away from the user) over
    // a widget, as the window system sends them (so they travel on to the
    // parent when the widget does not want them).
    static void Wheel(QWidget* widget, QPoint at, int delta) {
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(widget, &event);
    }
    void Wheel(TPoint p, int delta) { Wheel(FGrid->Widget(), onWidget(p), delta); }

    QPoint onWidget(TPoint p) const {
        const TPoint o = FGrid->ClientOrigin();
        return {p.X + o.X, p.Y + o.Y};
    }

private:
    void send(QEvent::Type type, TPoint p, Qt::MouseButton button) {
        QWidget* w = FGrid->Widget();
        const QPoint at = onWidget(p);
        QMouseEvent event(type, at, w->mapToGlobal(at), button, FHeld, Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(w, &event);
    }

    TCustomGrid* FGrid;
    Qt::MouseButtons FHeld;
};

// A point inside a cell, dx pixels from its left edge (the middle when
// dx is -1) and in the middle of its height.
inline TPoint InCell(const TCustomGrid* grid, int col, int row, int dx = -1) {
    const TRect r = grid->CellRect(col, row);
    return {dx < 0 ? r.Left + r.Width() / 2 : r.Left + dx, r.Top + r.Height() / 2};
}

// The x of the line right of a column: its sizing boundary.
inline int BoundaryOf(const TCustomGrid* grid, int col) {
    const TRect r = grid->CellRect(col, 0);
    return r.Right;
}

// The form with the grid wide enough for all four columns.
inline void ShowWide(GridDatabaseForm& f) {
    f.Form->SetClientWidth(480);
    f.Grid->SetWidth(440);
    f.Show();
    ASSERT_TRUE(f.Grid->Geometry().ColumnsFit());
}

// The grid's columns by title, in their order.
inline std::vector<std::string> Titles(TDBGrid* grid) {
    std::vector<std::string> titles;
    for (int i = 0; i < grid->Columns().Count(); ++i)
        titles.push_back(grid->Columns()[i]->Title().Caption());
    return titles;
}

} // namespace gridtest
