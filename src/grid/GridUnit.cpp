#include "grid/GridUnit.h"

#include "grid/GridSettings.h"
#include "grid/TIndicatorImages.h"

#include <QPixmap>

#include <array>
#include <optional>

namespace {

struct TCursorResource {
    const char* Name;
    int HotX, HotY; // at the arrow's tip
};

constexpr std::array<TCursorResource, 3> kCursors{{
    {"DOWNCUR", 16, 21},
    {"RIGHTCUR", 21, 16},
    {"LEFTCUR", 10, 16},
}};

std::optional<std::array<QCursor, 3>>& cursors() {
    static std::optional<std::array<QCursor, 3>> made;
    return made;
}

} // namespace

// Outside any namespace: the macro declares the resource's function here. A
// static library's resources are registered by code that is linked.
static void registerResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(gridcursors);
        return true;
    }();
    (void)done;
}

QCursor LoadCursorResource(const std::string& name, int hotX, int hotY) {
    registerResources();
    QPixmap image(QStringLiteral(":/grid/cursors/%1.xpm").arg(QString::fromStdString(name)));
    if (image.isNull()) throw EOutOfResources(SCursorLoadError);
    return QCursor(image, hotX, hotY);
}

void StartGridUnit() {
    if (cursors()) return;
    DBGridSettings();
    TIndicatorImages::Shared();
    std::array<QCursor, 3> made;
    for (size_t i = 0; i < kCursors.size(); ++i)
        made[i] = LoadCursorResource(kCursors[i].Name, kCursors[i].HotX, kCursors[i].HotY);
    cursors() = made;
}

const QCursor& GridCursor(TGridCursor cursor) {
    StartGridUnit();
    return (*cursors())[static_cast<size_t>(cursor)];
}
