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

#if !defined(_WIN32)
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The text after "=" of the line that holds key in the settings file, lines
// ended by a backslash joined to the next as QSettings joins them; the last
// such line counts, as it does for QSettings. Keys of the key's own values
// are under [General]; deeper ones under the first group, the rest of the
// path written before the name with backslashes.
std::optional<QString> rawValueOf(const QString& fileName, const QString& group,
                                  const QString& key) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const QString path = group.isEmpty() ? key : group + QLatin1Char('/') + key;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString section = slash < 0 ? QStringLiteral("General") : path.left(slash);
    QString name = slash < 0 ? path : path.mid(slash + 1);
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));

    std::optional<QString> found;
    QString current = QStringLiteral("General");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        while (line.endsWith(QLatin1Char('\\')) && i + 1 < lines.size()) {
            line.chop(1);
            QString next = lines[++i];
            if (next.endsWith(QLatin1Char('\r'))) next.chop(1);
            line += next;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            current = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || current != section || line.left(equals).trimmed() != name) continue;
        found = line.mid(equals + 1);
    }
    return found;
}

// QSettings takes a comma outside quotes for the end of an item of a list
// and drops the blanks around it: "/srv/Talvero, S.A." comes back as the
// items "/srv/Talvero" and "S.A.". A registry value is one text: the items,
// each as QSettings read its quotes and escapes, are joined again with the
// commas and blanks written between them. Nothing when the file does not
// show as many separators as there are items.
std::optional<QString> joinAsWritten(const QString& raw, const QStringList& items) {
    QStringList separators;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QLatin1Char('\\')) {
            ++i; // an escape: the next character is never a separator or a quote
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char(';')) {
            break; // a comment ends the value
        } else if (!quoted && c == QLatin1Char(',')) {
            qsizetype from = i, to = i + 1;
            while (from > 0 && isBlank(raw[from - 1]))
                --from;
            while (to < raw.size() && isBlank(raw[to]))
                ++to;
            separators << raw.mid(from, to - from);
            i = to - 1;
        }
    }
    if (separators.size() + 1 != items.size()) return std::nullopt;
    QString text = items[0];
    for (qsizetype k = 0; k < separators.size(); ++k)
        text += separators[k] + items[k + 1];
    return text;
}
#endif

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
#if !defined(_WIN32)
        // Text with a comma in it; a list of other types (@ByteArray(...), a)
        // is not text and keeps the error.
        if (value.typeId() == QMetaType::QStringList) {
            const std::optional<QString> raw = rawValueOf(loc->File, group, key);
            if (raw) {
                if (std::optional<QString> text = joinAsWritten(*raw, value.toStringList()))
                    return text->toStdString();
            }
        }
#endif
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
