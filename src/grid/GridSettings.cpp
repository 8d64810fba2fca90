#include "grid/GridSettings.h"

TDBGridSettings& DBGridSettings() {
    static TDBGridSettings settings;
    return settings;
}
