#include "platform/qt/media/media_library.h"

#include <QCoreApplication>

#include <dlfcn.h>

namespace lumeno {
namespace {

struct TModule {
    std::string Path; // named by a test; empty: beside the program
    std::string Tried;
    bool Loaded = false;
    TMediaLibrary* Library = nullptr;
};

TModule& Module()
{
    static TModule module;
    return module;
}

TMediaLibrary* Load(const std::string& path)
{
    // Never closed: what it made may live until the program ends.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    const auto entry = reinterpret_cast<TMediaEntry>(::dlsym(handle, kMediaEntryName));
    return entry ? entry(kMediaInterfaceVersion) : nullptr;
}

} // namespace

TMediaLibrary* MediaLibrary()
{
    TModule& module = Module();
    const std::string path = module.Path.empty()
                                 ? QCoreApplication::applicationDirPath().toStdString() + "/liblumeno_media.so"
                                 : module.Path;
    if (!module.Loaded || path != module.Tried) {
        module.Library = Load(path);
        module.Tried = path;
        module.Loaded = true;
    }
    return module.Library;
}

void SetMediaModulePath(const std::string& Path)
{
    Module().Path = Path;
}

} // namespace lumeno
