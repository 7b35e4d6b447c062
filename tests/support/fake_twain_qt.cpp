#include "support/fake_twain_qt.h"

#include "platform/qt/twain/sane_library.h"
#include "platform/qt/twain/twain_container.h"

#include <QApplication>

#include <QTimer>
#include <QWidget>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace lumeno::test {

namespace {

class FakeSource : public TTwainSource {
public:
    FakeSource(const TW_IDENTITY& identity, FakeScript& script, FakeLog& log)
        : TTwainSource(identity), FScript(script), FLog(log)
    {
    }

    TW_UINT16 Entry(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) override
    {
        if (DAT != DAT_EVENT)
            FLog.Triplets.emplace_back(DAT, MSG);
        if (DAT == DAT_USERINTERFACE && MSG == MSG_ENABLEDS && FScript.EnableFails)
            return Fail(TWCC_BUMMER);
        return TTwainSource::Entry(DG, DAT, MSG, pData);
    }

protected:
    void ShowUserInterface(QWidget* /*Parent*/) override
    {
        ++FLog.DialogsShown;
        if (FScript.OnShowUI)
            FScript.OnShowUI();
        // The user answers a moment later, from the event loop.
        QTimer::singleShot(FScript.AnswerDelayMs, [this] {
            if (FScript.UserAccepts)
                RequestTransfer();
            else
                RequestClose();
        });
    }

    TW_UINT16 TransferImage(HGLOBAL& Dib) override
    {
        if (FScript.Transfer != TWRC_XFERDONE)
            return FScript.Transfer == TWRC_FAILURE ? Fail(TWCC_OPERATIONERROR) : FScript.Transfer;
        const auto bytes = FakeDib();
        Dib = GlobalAlloc(GHND, bytes.size());
        std::memcpy(GlobalLock(Dib), bytes.data(), bytes.size());
        GlobalUnlock(Dib);
        return TWRC_XFERDONE;
    }

    TW_UINT16 GetCapability(TW_CAPABILITY& Cap) override
    {
        if (Cap.Cap != ICAP_PIXELTYPE || FScript.PixelGetFails)
            return Fail(TWCC_BADCAP);
        Cap.ConType = FScript.PixelConType;
        Cap.hContainer = nullptr;
        if (FScript.PixelNullContainer)
            return TWRC_SUCCESS;
        const auto& items = FScript.PixelTypes;
        if (Cap.ConType == TWON_ENUMERATION) {
            Cap.hContainer = NewEnumeration(FScript.PixelItemType, items, 0, 0);
        } else if (Cap.ConType == TWON_RANGE) {
            Cap.hContainer = GlobalAlloc(GHND, sizeof(TW_RANGE));
            TW_RANGE range{FScript.PixelItemType, 0, 2, 1, 0, items.empty() ? 0 : items[0]};
            std::memcpy(GlobalLock(Cap.hContainer), &range, sizeof(range));
            GlobalUnlock(Cap.hContainer);
        } else {
            Cap.hContainer = NewOneValue(FScript.PixelItemType, items.empty() ? 0 : items.front());
        }
        return TWRC_SUCCESS;
    }

    TW_UINT16 SetCapability(const TW_CAPABILITY& Cap) override
    {
        TW_UINT16 type = 0;
        ContainerValues(Cap, type, FLog.PixelTypesSet);
        return FScript.PixelSetFails ? Fail(TWCC_BADVALUE) : TWRC_SUCCESS;
    }

private:
    FakeScript& FScript;
    FakeLog& FLog;
};

} // namespace

bool FakeLog::Has(TW_UINT16 DAT, TW_UINT16 MSG) const
{
    return std::find(Triplets.begin(), Triplets.end(), std::make_pair(DAT, MSG)) != Triplets.end();
}

FakeSourceList::FakeSourceList()
{
    SetTwainSourceList(this);
}

FakeSourceList::~FakeSourceList()
{
    SetTwainSourceList(nullptr);
}

bool FakeSourceList::Open()
{
    ++Log.Sessions;
    return Script.OpenOk;
}

std::unique_ptr<TTwainSource> FakeSourceList::OpenSource(const TTwainDevice& Device)
{
    const auto known = std::find_if(Script.Devices.begin(), Script.Devices.end(),
                                    [&](const TTwainDevice& d) { return d.Name == Device.Name; });
    if (known == Script.Devices.end())
        return nullptr;
    Log.Opened.push_back(Device.Name);
    TW_IDENTITY identity{};
    SetTwainString(identity.ProductName, known->Label);
    return std::make_unique<FakeSource>(identity, Script, Log);
}

std::vector<std::uint8_t> FakeDib()
{
    std::vector<std::uint8_t> dib(40 + 2 * 12, 0);
    const auto put32 = [&dib](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 3);
    put32(8, 2);
    dib[12] = 1;
    dib[14] = 24;
    for (std::size_t i = 40; i < dib.size(); ++i)
        dib[i] = static_cast<std::uint8_t>(i * 7);
    return dib;
}

void WhenShown(const QString& objectName, std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, objectName, action, tries] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == objectName && w->isVisible()) {
                timer->deleteLater();
                timer->stop();
                action(w);
                return;
            }
        if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

namespace {

// SANE unloads its backends at exit; kept mapped, what the "test" backend
// leaves behind is still named in leak reports and can be suppressed.
void KeepTestBackendMapped()
{
    void* sane = ::dlopen("libsane.so.1", RTLD_NOW | RTLD_NOLOAD);
    void* init = sane ? ::dlsym(sane, "sane_init") : nullptr;
    Dl_info info{};
    if (init && ::dladdr(init, &info) && info.dli_fname) {
        const auto backend =
            std::filesystem::path(info.dli_fname).parent_path() / "sane" / "libsane-test.so.1";
        ::dlopen(backend.c_str(), RTLD_NOW | RTLD_NODELETE);
    }
    if (sane)
        ::dlclose(sane);
}

} // namespace

bool UseSaneTestBackend()
{
    static const bool usable = [] {
        static TempDir config;
        std::ofstream(config.File("dll.conf")) << "test\n";
        // The backend's own default resolution scans a single pixel.
        std::ofstream(config.File("test.conf")) << "resolution 50\n";
        ::setenv("SANE_CONFIG_DIR", config.Path().c_str(), 1);
        if (!TSaneLibrary("libsane.so.1").Loaded())
            return false;
        KeepTestBackendMapped();
        return true;
    }();
    return usable;
}

} // namespace lumeno::test
