#pragma once
// A data source over one SANE device: pixel type, resolution, units, bit
// depth and transfer count as capabilities, its options dialog as the
// source's own interface, and one scanned image per transfer.

#include "platform/qt/twain/sane_device.h"
#include "platform/qt/twain/twain_source.h"

#include <memory>

namespace lumeno {

class TSaneOptionsDialog;

class TSaneSource : public TTwainSource {
public:
    TSaneSource(const TW_IDENTITY& Identity, std::unique_ptr<TSaneDevice> Device);
    ~TSaneSource() override;

    TSaneDevice& Device() { return *FDevice; }

protected:
    void ShowUserInterface(QWidget* Parent) override;
    void HideUserInterface() override;
    TW_UINT16 TransferImage(HGLOBAL& Dib) override;
    TW_UINT16 GetCapability(TW_CAPABILITY& Cap) override;
    TW_UINT16 SetCapability(const TW_CAPABILITY& Cap) override;

private:
    TW_UINT16 GetPixelType(TW_CAPABILITY& Cap);
    TW_UINT16 SetPixelType(const std::vector<TW_UINT32>& Allowed);
    TW_UINT16 Container(TW_CAPABILITY& Cap, TW_UINT16 ConType, HGLOBAL Mem);
    int CurrentPixelType();

    std::unique_ptr<TSaneDevice> FDevice;
    std::unique_ptr<TSaneOptionsDialog> FDialog;
};

// The pixel type a SANE scan mode gives; -1 when the name is not known.
int SaneModePixelType(const std::string& Mode);

} // namespace lumeno
