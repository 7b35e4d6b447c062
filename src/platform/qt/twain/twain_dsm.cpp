#include "platform/qt/twain/twain_dsm.h"

#include "platform/qt/registry/registry.h"
#include "platform/qt/twain/sane_source_list.h"
#include "platform/qt/twain/twain_source.h"
#include "platform/qt/twain/twain_source_select_dialog.h"

#include <memory>
#include <string>

namespace lumeno {

struct TSourceManagerModule {
    int Loads = 0;
};

namespace {

struct TManager {
    TSourceManagerModule Module;
    TTwainSourceList* Installed = nullptr;
    std::unique_ptr<TTwainSourceList> Sane;
    TTwainSourceList* Loaded = nullptr; // the list of the current load
    bool Open = false;
    std::unique_ptr<TTwainSource> Source;
    TW_UINT32 NextId = 1;
    TW_UINT16 Condition = TWCC_SUCCESS;
    std::string SessionDefault; // when the registry cannot be written
};

TManager& Manager()
{
    static TManager manager;
    return manager;
}

TTwainSourceList& CurrentList()
{
    TManager& m = Manager();
    if (m.Installed)
        return *m.Installed;
    if (!m.Sane)
        m.Sane = std::make_unique<TSaneSourceList>();
    return *m.Sane;
}

TW_UINT16 Fail(TW_UINT16 condition)
{
    Manager().Condition = condition;
    return TWRC_FAILURE;
}

std::string DefaultSourceName()
{
    try {
        TRegistry reg;
        if (reg.OpenKey(TwainSourceKey, false)) {
            std::string name = reg.ReadString(TwainDefaultSourceValue);
            if (!name.empty())
                return name;
        }
    } catch (const ERegistryException&) {
    }
    return Manager().SessionDefault;
}

void RememberDefaultSource(const std::string& name)
{
    Manager().SessionDefault = name;
    try {
        TRegistry reg;
        if (reg.OpenKey(TwainSourceKey, true))
            reg.WriteString(TwainDefaultSourceValue, name);
    } catch (const ERegistryException&) {
    }
}

TW_UINT16 OpenManager(TW_IDENTITY& app)
{
    TManager& m = Manager();
    if (m.Open)
        return Fail(TWCC_SEQERROR);
    if (!m.Loaded->Open())
        return Fail(TWCC_BUMMER);
    m.Open = true;
    if (app.Id == 0)
        app.Id = m.NextId++;
    return TWRC_SUCCESS;
}

TW_UINT16 CloseManager()
{
    TManager& m = Manager();
    if (!m.Open || m.Source)
        return Fail(TWCC_SEQERROR);
    m.Loaded->Close();
    m.Open = false;
    return TWRC_SUCCESS;
}

std::unique_ptr<TTwainSource> OpenNamedSource(const TW_IDENTITY& wanted)
{
    TTwainSourceList& list = *Manager().Loaded;
    const std::string product = wanted.ProductName;
    if (product.empty()) {
        // The remembered source first: listing devices can take long.
        const std::string name = DefaultSourceName();
        if (!name.empty())
            if (auto source = list.OpenSource({name, name}))
                return source;
        const auto devices = list.Devices();
        return devices.empty() ? nullptr : list.OpenSource(devices.front());
    }
    for (const TTwainDevice& device : list.Devices()) {
        auto source = list.OpenSource(device);
        if (source && product == source->Identity().ProductName)
            return source;
    }
    return nullptr;
}

TW_UINT16 OpenSource(TW_IDENTITY& identity)
{
    TManager& m = Manager();
    if (!m.Open)
        return Fail(TWCC_SEQERROR);
    if (m.Source)
        return Fail(TWCC_MAXCONNECTIONS);
    m.Source = OpenNamedSource(identity);
    if (!m.Source)
        return Fail(TWCC_NODS);
    m.Source->SetId(m.NextId++);
    identity = m.Source->Identity();
    return TWRC_SUCCESS;
}

TW_UINT16 CloseSource(const TW_IDENTITY& identity)
{
    TManager& m = Manager();
    if (!m.Source || identity.Id != m.Source->Identity().Id)
        return Fail(TWCC_BADDEST);
    if (m.Source->State() != 4)
        return Fail(TWCC_SEQERROR);
    m.Source.reset();
    return TWRC_SUCCESS;
}

TW_UINT16 UserSelect(TW_IDENTITY& identity)
{
    TManager& m = Manager();
    if (!m.Open)
        return Fail(TWCC_SEQERROR);
    const auto devices = m.Loaded->Devices();
    TTwainSourceSelectDialog dialog(devices, DefaultSourceName());
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedIndex() < 0)
        return TWRC_CANCEL;
    const TTwainDevice& device = devices[static_cast<std::size_t>(dialog.SelectedIndex())];
    RememberDefaultSource(device.Name);
    identity = TW_IDENTITY{};
    SetTwainString(identity.ProductName, device.Label);
    return TWRC_SUCCESS;
}

TW_UINT16 ManagerEntry(TW_IDENTITY& origin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData)
{
    if (DG != DG_CONTROL)
        return Fail(TWCC_BADPROTOCOL);
    if (DAT == DAT_PARENT && MSG == MSG_OPENDSM)
        return OpenManager(origin);
    if (DAT == DAT_PARENT && MSG == MSG_CLOSEDSM)
        return CloseManager();
    if (DAT == DAT_STATUS && MSG == MSG_GET) {
        auto& status = *static_cast<TW_STATUS*>(pData);
        status = TW_STATUS{Manager().Condition, 0};
        Manager().Condition = TWCC_SUCCESS;
        return TWRC_SUCCESS;
    }
    if (DAT != DAT_IDENTITY)
        return Fail(TWCC_BADPROTOCOL);
    auto& identity = *static_cast<TW_IDENTITY*>(pData);
    switch (MSG) {
    case MSG_OPENDS:
        return OpenSource(identity);
    case MSG_CLOSEDS:
        return CloseSource(identity);
    case MSG_USERSELECT:
        return UserSelect(identity);
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

} // namespace

HSOURCEMANAGER LoadSourceManager()
{
    TManager& m = Manager();
    if (m.Module.Loads == 0) {
        TTwainSourceList& list = CurrentList();
        if (!list.Load())
            return nullptr;
        m.Loaded = &list;
    }
    ++m.Module.Loads;
    return &m.Module;
}

DSMENTRYPROC GetSourceManagerEntry(HSOURCEMANAGER Module)
{
    return Module == &Manager().Module && Module->Loads > 0 ? &DSM_Entry : nullptr;
}

void FreeSourceManager(HSOURCEMANAGER Module)
{
    TManager& m = Manager();
    if (Module != &m.Module || m.Module.Loads == 0 || --m.Module.Loads > 0)
        return;
    // A caller that forgot to close still leaves nothing open.
    m.Source.reset();
    if (m.Open)
        m.Loaded->Close();
    m.Open = false;
    m.Loaded->Unload();
    m.Loaded = nullptr;
}

TW_UINT16 DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                    TW_MEMREF pData)
{
    TManager& m = Manager();
    if (!m.Loaded)
        return TWRC_FAILURE;
    if (!pOrigin || !pData)
        return Fail(TWCC_BADVALUE);
    if (!pDest)
        return ManagerEntry(*pOrigin, DG, DAT, MSG, pData);
    if (!m.Source || pDest->Id != m.Source->Identity().Id)
        return Fail(TWCC_BADDEST);
    return m.Source->Entry(DG, DAT, MSG, pData);
}

void SetTwainSourceList(TTwainSourceList* List)
{
    TManager& m = Manager();
    if (m.Module.Loads == 0)
        m.Installed = List;
}

} // namespace lumeno
