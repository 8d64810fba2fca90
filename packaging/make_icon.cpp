// Makes the menu icon from the run button's glyph: the glyph's ground, which
// the button takes as transparent, becomes transparent, and the glyph is
// centred on a square of the given size, as icon themes want.
//
//   make_icon GLYPH.png SIZE ICON.png

#include <QColor>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_icon GLYPH.png SIZE ICON.png\n");
        return 2;
    }
    QImage glyph(QString::fromLocal8Bit(argv[1]));
    int size = std::atoi(argv[2]);
    if (glyph.isNull() || size < glyph.width() || size < glyph.height()) {
        std::fprintf(stderr, "make_icon: cannot read %s, or it is larger than %s\n", argv[1],
                     argv[2]);
        return 1;
    }
    glyph = glyph.convertToFormat(QImage::Format_ARGB32);
    // The ground is the colour of the glyph's bottom-left pixel, as for the
    // button.
    QRgb ground = glyph.pixel(0, glyph.height() - 1);
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    int left = (size - glyph.width()) / 2;
    int top = (size - glyph.height()) / 2;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (glyph.pixel(x, y) != ground) icon.setPixel(left + x, top + y, glyph.pixel(x, y));
    if (!icon.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
