#pragma once
// TRegistry: read access to the suite's settings in the registry.
//
// Here the registry is Qt's settings in INI format. A key under
// HKEY_LOCAL_MACHINE "\Software\<Organisation>\<Application>[\Sub...]" is the
// file "<Organisation>/<Application>.conf" in the system's settings folder
// (the first folder of XDG_CONFIG_DIRS, else /etc/xdg), deeper keys are its
// groups, and the values of [General] are the values of the key itself. The
// folder is looked up and the file read again on every call, so changes made
// while the program runs are seen. Value names are compared without regard to
// case, as the registry does. On Windows the real registry is read.

#include <cstdint>
#include <string>
#include <string_view>

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;

// KEY_READ: the registry is only read.
constexpr unsigned KEY_READ = 131097;

class TRegistry {
public:
    explicit TRegistry(unsigned access = KEY_READ);
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY key);
    unsigned Access() const { return FAccess; }

    // Opens a key ("\" first for a path from the root, else below the key
    // open now). False when the key does not exist or cannot be read: here
    // when its settings file is missing, is not a readable file or is not a
    // settings file. The key is never created: this registry only reads.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey();
    // The key open now, "\" first; empty when none is open.
    const std::string& CurrentPath() const { return FCurrentPath; }

    // The text of a value of the open key, or "" when the value does not
    // exist. Text is read as written: commas and the blanks around them stay
    // ("/srv/Talvero, S.A."), and quotes and backslash escapes are read as
    // QSettings reads them. Raises ERegistryException "Invalid data type for
    // '%s'" when the value is not text (binary data, another type, or a list
    // holding one).
    std::string ReadString(std::string_view name) const;
    bool ValueExists(std::string_view name) const;

    // The settings file of this key, for messages and tests ("" on Windows
    // or for keys outside HKEY_LOCAL_MACHINE\Software\<Org>\<App>).
    static std::string SettingsFileOf(std::string_view keyPath);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    unsigned FAccess;
    std::string FCurrentPath;
};
