#include "platform/qt/media/media_library.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <dlfcn.h>

namespace lumeno {
namespace {

struct TModule {
    std::string Path; // named by a test; empty: beside the program
    // Empty until a module was tried: a path to try never is.
    std::string Tried;
    TMediaLibrary* Library = nullptr;
};

TModule& Module()
{
    static TModule module;
    return module;
}

// Without the module clips fail as unreadable ones do: the log says why.
TMediaLibrary* Unusable(const std::string& path, const char* reason)
{
    qWarning("The media module %s cannot be used: %s", path.c_str(), reason);
    return nullptr;
}

TMediaLibrary* Load(const std::string& path)
{
    // Never closed: what it made may live until the program ends.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return Unusable(path, ::dlerror());
    const auto entry = reinterpret_cast<TMediaEntry>(::dlsym(handle, kMediaEntryName));
    if (!entry)
        return Unusable(path, ::dlerror());
    TMediaLibrary* library = entry(kMediaInterfaceVersion);
    return library ? library : Unusable(path, "it was built for another version of the program");
}

} // namespace

TMediaLibrary* MediaLibrary()
{
    TModule& module = Module();
    const std::string path = module.Path.empty()
                                 ? QCoreApplication::applicationDirPath().toStdString() + "/liblumeno_media.so"
                                 : module.Path;
    if (path != module.Tried) {
        module.Library = Load(path);
        module.Tried = path;
    }
    return module.Library;
}

void SetMediaModulePath(const std::string& Path)
{
    Module().Path = Path;
}

} // namespace lumeno
