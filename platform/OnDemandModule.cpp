// dlopen of the on-demand module, once per process; the handle is kept for
// the life of the process, so entry points stay valid. The installed module
// is found relative to the running program's own file, so a package
// installed under any prefix finds its own module and no other.
#include "platform/OnDemandModule.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include <dlfcn.h>

namespace platform {
namespace {

struct LoadedModule {
    void* handle = nullptr;
    std::string failure;
};

// `relative` to the folder of the running program.
std::string BesideProgram(const char* relative)
{
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) return relative;
    return (program.parent_path() / relative).lexically_normal().string();
}

LoadedModule Load()
{
    // Where it is installed, relative to the installed program; else in the
    // build tree's module folder, beside the program's own folder (or its
    // parent's, for the test programs one level deeper). Always by a whole
    // path: a library path would not apply where a sanitizer's runtime makes
    // the call.
    static const char* const kPlaces[] = {LUMBREL_ONDEMAND_FROM_BINDIR, "../modules/" LUMBREL_ONDEMAND_MODULE_NAME,
                                          "../../modules/" LUMBREL_ONDEMAND_MODULE_NAME};
    LoadedModule module;
    for (const char* place : kPlaces) {
        const std::string path = BesideProgram(place);
        module.handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module.handle != nullptr) return module;
        // The installed place's reason is the one worth telling.
        if (module.failure.empty()) {
            const char* reason = ::dlerror();
            module.failure = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason");
        }
    }
    return module;
}

} // namespace

void* OnDemandSymbol(const char* symbol)
{
    static const LoadedModule module = Load();
    if (module.handle == nullptr) throw std::runtime_error(module.failure);
    void* address = ::dlsym(module.handle, symbol);
    if (address == nullptr) throw std::runtime_error(std::string("the on-demand module has no entry ") + symbol);
    return address;
}

} // namespace platform
