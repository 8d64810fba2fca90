// Linked into every program the tests run under the leak checker.
//
// The C library keeps, in each thread's thread-local block, the result of the
// last dlopen, dlsym or dlerror that failed: a block it allocates at the
// first failure and frees when the thread ends. The main thread never ends
// before the checker looks, and the tests run the checker without
// thread-local storage as a root (use_tls=0, scripts/test says why), so a
// process whose main thread once failed to load a library (the driver tests
// do on purpose) reported that block as a leak. Without the C library's debug
// symbols the report names no function, so no suppression could name it
// without naming the whole C library. Instead the main thread's thread-local
// block of the C library is given to the checker as a root, as it would scan
// it with thread-local storage on.

#include <dlfcn.h>
#include <link.h>

#include <cstddef>
#include <cstring>

extern "C" void __lsan_register_root_region(const void* begin, std::size_t size)
    __attribute__((weak));

namespace {

// The size of the C library's thread-local block, from its PT_TLS header.
std::size_t CLibraryBlockSize() {
    std::size_t size = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            if (!std::strstr(info->dlpi_name, "/libc.so.")) return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i)
                if (info->dlpi_phdr[i].p_type == PT_TLS)
                    *static_cast<std::size_t*>(out) = info->dlpi_phdr[i].p_memsz;
            return 1;
        },
        &size);
    return size;
}

struct CLibraryThreadRoots {
    CLibraryThreadRoots() {
        if (!__lsan_register_root_region) return;
        void* library = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
        if (!library) return;
        void* block = nullptr;
        std::size_t size = CLibraryBlockSize();
        if (dlinfo(library, RTLD_DI_TLS_DATA, &block) == 0 && block && size > 0)
            __lsan_register_root_region(block, size);
        dlclose(library);
    }
};

const CLibraryThreadRoots gRoots;

} // namespace
