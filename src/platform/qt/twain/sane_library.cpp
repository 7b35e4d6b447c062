#include "platform/qt/twain/sane_library.h"

#include <dlfcn.h>

namespace lumeno {

namespace {

template <typename F> bool Symbol(void* handle, const char* name, F& fn)
{
    fn = reinterpret_cast<F>(::dlsym(handle, name));
    return fn != nullptr;
}

} // namespace

TSaneLibrary::TSaneLibrary(const std::string& FileName)
{
    // Kept mapped after the close: the backends SANE loads may leave
    // callbacks or thread data behind that must not point into nothing.
    FHandle = ::dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (FHandle && !Resolve()) {
        ::dlclose(FHandle);
        FHandle = nullptr;
    }
}

TSaneLibrary::~TSaneLibrary()
{
    if (FHandle)
        ::dlclose(FHandle);
}

bool TSaneLibrary::Resolve()
{
    return Symbol(FHandle, "sane_init", init) && Symbol(FHandle, "sane_exit", exit) &&
           Symbol(FHandle, "sane_get_devices", get_devices) && Symbol(FHandle, "sane_open", open) &&
           Symbol(FHandle, "sane_close", close) &&
           Symbol(FHandle, "sane_get_option_descriptor", get_option_descriptor) &&
           Symbol(FHandle, "sane_control_option", control_option) &&
           Symbol(FHandle, "sane_get_parameters", get_parameters) && Symbol(FHandle, "sane_start", start) &&
           Symbol(FHandle, "sane_read", read) && Symbol(FHandle, "sane_cancel", cancel) &&
           Symbol(FHandle, "sane_strstatus", strstatus);
}

} // namespace lumeno
