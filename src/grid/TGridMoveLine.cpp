#include "grid/TGridMoveLine.h"

#include "platform/widgets/TColor.h"

#include <QPainter>

TGridMoveLine::TGridMoveLine()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

TGridMoveLine& TGridMoveLine::Shared() {
    // Kept for the life of the process: the application's end takes its
    // window down with the others.
    static TGridMoveLine* const line = new TGridMoveLine;
    return *line;
}

QRegion TGridMoveLine::Shape(int height) {
    QRegion shape;
    for (int i = 0; i < 3; ++i) {
        const int inset = i;
        const int width = MarkerWidth - 2 * i;
        shape += QRect(inset, i, width, 1);              // the top triangle, pointing down
        shape += QRect(inset, height - 1 - i, width, 1); // the bottom one, pointing up
    }
    if (height > 6) shape += QRect(MarkerWidth / 2, 3, 1, height - 6);
    return shape;
}

void TGridMoveLine::ShowAt(int boundaryX, int rowsTop, int rowsHeight) {
    const int height = rowsHeight + 8;
    if (height != this->height()) {
        resize(MarkerWidth, height);
        setMask(Shape(height));
    }
    move(boundaryX - MarkerWidth / 2, rowsTop - 4);
    if (!isHidden()) return;
    show();
    raise();
}

void TGridMoveLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(clWhite));
    const QRegion shape = Shape(height());
    for (const QRect& r : shape)
        painter.fillRect(r, ToQColor(clRed));
}
