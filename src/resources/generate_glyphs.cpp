// Draws the two speed-button glyphs of the window as 46 x 32, 24-bit images on
// the light grey ground the buttons take as transparent. Not part of the
// build: the PNGs it writes are committed. To draw them again:
//
//   g++ -std=c++20 -fPIC generate_glyphs.cpp -o /tmp/generate_glyphs \
//       $(pkg-config --cflags --libs Qt6Gui) && \
//   QT_QPA_PLATFORM=offscreen /tmp/generate_glyphs src/resources

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

const QColor kGround(224, 223, 227);
const int kWidth = 46;
const int kHeight = 32;

QImage newGlyph() {
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    image.fill(kGround);
    return image;
}

// An arc of the circle around (cx, cy) from one angle to another (degrees,
// counter-clockwise, 0 to the right) with an arrowhead at its end.
void arrow(QPainter& p, QPointF centre, double radius, double from, double to, const QColor& dark,
           const QColor& light) {
    const double rad = M_PI / 180.0;
    QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(box, from);
    arc.arcTo(box, from, to - from);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, 5.0, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    p.setPen(QPen(light, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);

    // The head: a triangle at the end point, pointing along the circle.
    QPointF tip(centre.x() + radius * std::cos(to * rad), centre.y() - radius * std::sin(to * rad));
    QPointF along(-std::sin(to * rad), -std::cos(to * rad)); // direction of travel
    QPointF outward(std::cos(to * rad), -std::sin(to * rad));
    QPointF point = tip + along * 5.5;
    QPolygonF head;
    head << point << tip + outward * 5.0 - along * 1.5 << tip - outward * 5.0 - along * 1.5;
    p.setPen(QPen(dark, 1.2));
    p.setBrush(light);
    p.drawPolygon(head);
}

QImage runGlyph() {
    QImage image = newGlyph();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(23, 16);
    const QColor dark(0, 110, 0), light(40, 190, 40);
    // Two arrows chasing each other round the circle.
    arrow(p, centre, 10.5, 200, 320, dark, light);
    arrow(p, centre, 10.5, 20, 140, dark, light);
    return image;
}

QImage cancelGlyph() {
    QImage image = newGlyph();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor dark(150, 0, 0), light(225, 20, 20);
    for (const QColor& c : {dark, light}) {
        p.setPen(QPen(c, c == dark ? 7.0 : 4.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 7), QPointF(31, 25));
        p.drawLine(QPointF(31, 7), QPointF(15, 25));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok =
        runGlyph().save(folder + "/ejecutar.png") && cancelGlyph().save(folder + "/cancelar.png");
    if (!ok) std::fprintf(stderr, "generate_glyphs: cannot write to %s\n", qPrintable(folder));
    return ok ? 0 : 1;
}
