#include "data/DriverLoader.h"

#include "data/DriverIntf.h"
#include "platform/ProgramShutdown.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <vector>

namespace {

std::mutex loadedMutex;
std::vector<void*> loaded; // every module loaded, once each, in loading order

void* remember(void* library) {
    if (!library) return nullptr;
    // The program's end shuts down what was loaded (TApplication runs the
    // hooks); registered with the first module, once.
    static std::once_flag hooked;
    std::call_once(hooked, [] { AddProgramShutdownHook(&DriverLoader::ShutdownModules); });
    std::lock_guard<std::mutex> lock(loadedMutex);
    if (std::find(loaded.begin(), loaded.end(), library) == loaded.end()) loaded.push_back(library);
    return library;
}

} // namespace

std::string DriverLoader::ProgramFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string exe(path, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

void* DriverLoader::Load(const std::string& name) {
    if (name.empty()) return nullptr;
    if (name.find('/') != std::string::npos)
        return remember(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
    std::string folder = ProgramFolder();
    if (!folder.empty()) {
        std::string local = folder + "/" + name;
        if (access(local.c_str(), F_OK) == 0)
            if (void* library = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL))
                return remember(library);
    }
    return remember(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void DriverLoader::ShutdownModules() {
    std::vector<void*> modules;
    {
        std::lock_guard<std::mutex> lock(loadedMutex);
        modules.swap(loaded);
    }
    for (void* module : modules)
        if (auto shutdown =
                reinterpret_cast<TShutdownDriverFunc>(Find(module, kShutdownDriverEntry)))
            shutdown();
}

void* DriverLoader::Find(void* library, const std::string& entry) {
    if (!library || entry.empty()) return nullptr;
    return dlsym(library, entry.c_str());
}
