#include "platform/qt/twain/sane_source_list.h"

#include "platform/qt/twain/sane_library.h"
#include "platform/qt/twain/sane_source.h"

namespace lumeno {

TSaneSourceList::TSaneSourceList(std::string LibraryName) : FLibraryName(std::move(LibraryName)) {}

TSaneSourceList::~TSaneSourceList()
{
    Close();
}

bool TSaneSourceList::Load()
{
    if (!FLibrary) {
        FLibrary = std::make_unique<TSaneLibrary>(FLibraryName);
        if (!FLibrary->Loaded())
            FLibrary.reset();
    }
    return FLibrary != nullptr;
}

void TSaneSourceList::Unload()
{
    Close();
    FLibrary.reset();
}

bool TSaneSourceList::Open()
{
    if (!FOpen && FLibrary) {
        SANE_Int version = 0;
        FOpen = FLibrary->init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    return FOpen;
}

void TSaneSourceList::Close()
{
    if (FOpen)
        FLibrary->exit();
    FOpen = false;
}

std::vector<TTwainDevice> TSaneSourceList::Devices()
{
    std::vector<TTwainDevice> devices;
    const SANE_Device** list = nullptr;
    if (!FOpen || FLibrary->get_devices(&list, 0) != SANE_STATUS_GOOD || !list)
        return devices;
    for (; *list; ++list) {
        const SANE_Device& d = **list;
        if (!d.name)
            continue;
        std::string label = std::string(d.vendor ? d.vendor : "") + " " + (d.model ? d.model : "");
        label = label == " " ? d.name : label + " (" + d.name + ")";
        devices.push_back({d.name, label});
    }
    return devices;
}

std::unique_ptr<TTwainSource> TSaneSourceList::OpenSource(const TTwainDevice& Device)
{
    SANE_Handle handle = nullptr;
    if (!FOpen || FLibrary->open(Device.Name.c_str(), &handle) != SANE_STATUS_GOOD || !handle)
        return nullptr;
    TW_IDENTITY identity{};
    identity.Version.MajorNum = 1;
    identity.ProtocolMajor = 1;
    identity.ProtocolMinor = 6;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    SetTwainString(identity.Manufacturer, "SANE");
    SetTwainString(identity.ProductFamily, "Scanner");
    SetTwainString(identity.ProductName, Device.Label);
    return std::make_unique<TSaneSource>(identity, std::make_unique<TSaneDevice>(*FLibrary, handle));
}

} // namespace lumeno
