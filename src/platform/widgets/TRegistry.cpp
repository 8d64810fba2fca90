#include "platform/widgets/TRegistry.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace {

std::vector<std::string> splitKey(std::string_view path) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find('\\', i);
        if (j == std::string_view::npos) j = path.size();
        if (j > i) parts.emplace_back(path.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

std::string joinKey(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += "\\" + p;
    return out;
}

QString fromStd(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Where a key's values are: the settings file (or, on Windows, the registry
// path) and the group inside it.
struct KeyLocation {
    QString File;
    QString Group;
};

#if !defined(_WIN32)
std::string systemSettingsFolder() {
    // Read on every lookup, so that the folder can change at run time.
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    if (dirs && *dirs) {
        std::string_view all(dirs);
        std::string first(all.substr(0, all.find(':')));
        if (!first.empty()) return first;
    }
    return "/etc/xdg";
}
#endif

std::optional<KeyLocation> locate(HKEY root, const std::vector<std::string>& parts) {
#if defined(_WIN32)
    if (root != HKEY_LOCAL_MACHINE || parts.empty()) return std::nullopt;
    return KeyLocation{fromStd("HKEY_LOCAL_MACHINE" + joinKey(parts)), QString()};
#else
    if (root != HKEY_LOCAL_MACHINE || parts.size() < 3 || !SameText(parts[0], "Software"))
        return std::nullopt;
    KeyLocation loc;
    loc.File = fromStd(systemSettingsFolder() + "/" + parts[1] + "/" + parts[2] + ".conf");
    QStringList groups;
    for (size_t i = 3; i < parts.size(); ++i)
        groups << fromStd(parts[i]);
    loc.Group = groups.join(QLatin1Char('/'));
    return loc;
#endif
}

std::unique_ptr<QSettings> openSettings(const KeyLocation& loc) {
#if defined(_WIN32)
    return std::make_unique<QSettings>(loc.File, QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(loc.File, QSettings::IniFormat);
#endif
}

// The group's name as stored, found without regard to case; false when the
// settings have no such group.
bool findGroup(QSettings& settings, const QString& group, QString& stored) {
    if (group.isEmpty()) return true;
    QStringList path;
    for (const QString& part : group.split(QLatin1Char('/'))) {
        bool found = false;
        for (const QString& child : settings.childGroups()) {
            if (child.compare(part, Qt::CaseInsensitive) == 0) {
                settings.beginGroup(child);
                path << child;
                found = true;
                break;
            }
        }
        if (!found) {
            for (qsizetype i = 0; i < path.size(); ++i)
                settings.endGroup();
            return false;
        }
    }
    for (qsizetype i = 0; i < path.size(); ++i)
        settings.endGroup();
    stored = path.join(QLatin1Char('/'));
    return true;
}

} // namespace

TRegistry::TRegistry(unsigned access) : FAccess(access) {}

void TRegistry::SetRootKey(HKEY key) {
    CloseKey();
    FRootKey = key;
}

bool TRegistry::OpenKey(std::string_view key, bool) {
    std::vector<std::string> parts = splitKey(key);
    if (!key.starts_with('\\') && !FCurrentPath.empty()) {
        std::vector<std::string> base = splitKey(FCurrentPath);
        base.insert(base.end(), parts.begin(), parts.end());
        parts = std::move(base);
    }
    std::optional<KeyLocation> loc = locate(FRootKey, parts);
    if (!loc) return false;
#if !defined(_WIN32)
    QFileInfo info(loc->File);
    QFile file(loc->File);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return false;
    file.close();
#endif
    std::unique_ptr<QSettings> settings = openSettings(*loc);
    if (settings->status() != QSettings::NoError) return false;
    QString stored;
    if (!findGroup(*settings, loc->Group, stored)) return false;
#if defined(_WIN32)
    if (settings->childKeys().isEmpty() && settings->childGroups().isEmpty()) return false;
#endif
    FCurrentPath = joinKey(parts);
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
}

std::string TRegistry::ReadString(std::string_view name) const {
    if (FCurrentPath.empty()) return {};
    std::optional<KeyLocation> loc = locate(FRootKey, splitKey(FCurrentPath));
    if (!loc) return {};
    std::unique_ptr<QSettings> settings = openSettings(*loc);
    QString group;
    if (!findGroup(*settings, loc->Group, group)) return {};
    if (!group.isEmpty()) settings->beginGroup(group);
    const QString wanted = fromStd(name);
    for (const QString& key : settings->childKeys()) {
        if (key.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        QVariant value = settings->value(key);
        if (value.typeId() == QMetaType::QString) return value.toString().toStdString();
        throw ERegistryException(Format("Invalid data type for '%s'", {name}));
    }
    return {};
}

bool TRegistry::ValueExists(std::string_view name) const {
    if (FCurrentPath.empty()) return false;
    std::optional<KeyLocation> loc = locate(FRootKey, splitKey(FCurrentPath));
    if (!loc) return false;
    std::unique_ptr<QSettings> settings = openSettings(*loc);
    QString group;
    if (!findGroup(*settings, loc->Group, group)) return false;
    if (!group.isEmpty()) settings->beginGroup(group);
    const QString wanted = fromStd(name);
    for (const QString& key : settings->childKeys())
        if (key.compare(wanted, Qt::CaseInsensitive) == 0) return true;
    return false;
}

std::string TRegistry::SettingsFileOf(std::string_view keyPath) {
#if defined(_WIN32)
    return {};
#else
    std::optional<KeyLocation> loc = locate(HKEY_LOCAL_MACHINE, splitKey(keyPath));
    return loc ? loc->File.toStdString() : std::string();
#endif
}
