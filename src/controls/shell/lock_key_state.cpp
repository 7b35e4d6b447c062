#include "controls/shell/lock_key_state.h"

#include <QGuiApplication>
#include <dlfcn.h>

namespace lumeno {

namespace {

struct TFollowed {
    bool Caps = false;
    bool Num = false;
    bool Scroll = false;

    bool& Of(int virtualKey)
    {
        if (virtualKey == VK_NUMLOCK)
            return Num;
        if (virtualKey == VK_SCROLL)
            return Scroll;
        return Caps;
    }
};

TFollowed& Followed()
{
    static TFollowed followed;
    return followed;
}

// The few XKB calls needed, resolved from libX11 once.
class TXkbIndicators {
public:
    static TXkbIndicators& Instance()
    {
        static TXkbIndicators instance;
        return instance;
    }

    bool Available() const { return display_ != nullptr; }

    bool Toggled(int virtualKey) const
    {
        const char* name = virtualKey == VK_NUMLOCK  ? "Num Lock"
                           : virtualKey == VK_SCROLL ? "Scroll Lock"
                                                     : "Caps Lock";
        const unsigned long atom = internAtom_(display_, name, 0);
        int state = 0;
        if (!atom || !getNamedIndicator_(display_, atom, nullptr, &state, nullptr, nullptr))
            return false;
        return state != 0;
    }

private:
    using TOpenDisplay = void* (*)(const char*);
    using TInternAtom = unsigned long (*)(void*, const char*, int);
    using TGetNamedIndicator = int (*)(void*, unsigned long, int*, int*, void*, int*);

    TXkbIndicators()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        void* lib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        auto open = reinterpret_cast<TOpenDisplay>(::dlsym(lib, "XOpenDisplay"));
        internAtom_ = reinterpret_cast<TInternAtom>(::dlsym(lib, "XInternAtom"));
        getNamedIndicator_ = reinterpret_cast<TGetNamedIndicator>(::dlsym(lib, "XkbGetNamedIndicator"));
        if (open && internAtom_ && getNamedIndicator_)
            display_ = open(nullptr);
    }

    // The connection lives as long as the program.
    void* display_ = nullptr;
    TInternAtom internAtom_ = nullptr;
    TGetNamedIndicator getNamedIndicator_ = nullptr;
};

} // namespace

bool LockKeyToggled(int virtualKey)
{
    const TXkbIndicators& xkb = TXkbIndicators::Instance();
    if (xkb.Available())
        return xkb.Toggled(virtualKey);
    return Followed().Of(virtualKey);
}

void LockKeyPressed(int virtualKey)
{
    bool& state = Followed().Of(virtualKey);
    state = !state;
}

void ResetFollowedLockKeys()
{
    Followed() = TFollowed{};
}

} // namespace lumeno
