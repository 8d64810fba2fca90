#include "platform/ProgramShutdown.h"

#include <mutex>
#include <vector>

namespace {

std::mutex hooksMutex;
std::vector<std::function<void()>>& hooks() {
    static std::vector<std::function<void()>> list;
    return list;
}

} // namespace

void AddProgramShutdownHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(hooksMutex);
    hooks().push_back(std::move(hook));
}

void RunProgramShutdownHooks() {
    std::vector<std::function<void()>> toRun;
    {
        std::lock_guard<std::mutex> lock(hooksMutex);
        toRun = hooks();
    }
    for (const auto& hook : toRun)
        hook();
}
