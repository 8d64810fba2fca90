#include "grid/TGridMoveLine.h"

#include "platform/widgets/TColor.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>

TGridMoveLine::TGridMoveLine()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

namespace {

QPointer<TGridMoveLine> sharedLine;

void deleteSharedLine() {
    delete sharedLine.data();
}

} // namespace

TGridMoveLine& TGridMoveLine::Shared() {
    // Kept while the application lasts and deleted as it ends, before its
    // windows are taken down; a later application object makes another.
    if (!sharedLine) {
        sharedLine = new TGridMoveLine;
        qAddPostRoutine(deleteSharedLine);
    }
    return *sharedLine;
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
