#include "platform/widgets/TFont.h"

#include "platform/SysUtils.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <cmath>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct Substitution {
    const char* Face;
    std::vector<const char*> Candidates;
};

// Proportional sans faces first, the narrow face where the width matters.
const Substitution kSubstitutions[] = {
    {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}},
    {"Arial", {"Liberation Sans", "DejaVu Sans"}},
    {"Arial Narrow", {"Liberation Sans Narrow", "Liberation Sans", "DejaVu Sans"}},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
};

bool installed(const QStringList& families, const QString& name) {
    return families.contains(name, Qt::CaseInsensitive);
}

} // namespace

int TFont::Size() const {
    // Height = -Size * 96 / 72, rounded as the suite rounds it.
    return static_cast<int>(std::lround(-FHeight * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    FHeight = -static_cast<int>(std::lround(points * 96.0 / 72.0));
}

std::string SubstituteFontFamily(std::string_view name) {
    static std::mutex lock;
    static std::map<std::string, std::string> cache;
    std::lock_guard<std::mutex> guard(lock);
    std::string key = UpperCase(name);
    if (auto it = cache.find(key); it != cache.end()) return it->second;

    const QStringList families = QFontDatabase::families();
    std::string result(name);
    if (!installed(families, QString::fromUtf8(name.data(), qsizetype(name.size())))) {
        for (const Substitution& s : kSubstitutions) {
            if (!SameText(s.Face, name)) continue;
            for (const char* candidate : s.Candidates) {
                if (installed(families, QString::fromLatin1(candidate))) {
                    result = candidate;
                    break;
                }
            }
            break;
        }
    }
    cache.emplace(key, result);
    return result;
}

QFont ToQFont(const TFont& font) {
    QFont f(QString::fromStdString(SubstituteFontFamily(font.Name())));
    int height = font.Height();
    if (height < 0) {
        f.setPixelSize(-height);
    } else if (height > 0) {
        // A cell height: scale the character height so that ascent plus
        // descent come to the height asked for.
        f.setPixelSize(height);
        QFontMetrics m(f);
        int cell = m.ascent() + m.descent();
        if (cell > 0) f.setPixelSize(std::max(1, height * height / cell));
    }
    f.setBold(font.Style() & fsBold);
    f.setItalic(font.Style() & fsItalic);
    f.setUnderline(font.Style() & fsUnderline);
    f.setStrikeOut(font.Style() & fsStrikeOut);
    // Metrics and layouts in whole pixels, as the suite measures text.
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}
