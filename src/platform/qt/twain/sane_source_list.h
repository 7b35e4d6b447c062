#pragma once
// The source manager's sources when SANE is installed: one per SANE device.

#include "platform/qt/twain/twain_source.h"

#include <memory>
#include <string>

namespace lumeno {

class TSaneLibrary;

class TSaneSourceList : public TTwainSourceList {
public:
    explicit TSaneSourceList(std::string LibraryName = "libsane.so.1");
    ~TSaneSourceList() override;

    bool Load() override;
    void Unload() override;
    bool Open() override;
    void Close() override;
    std::vector<TTwainDevice> Devices() override;
    std::unique_ptr<TTwainSource> OpenSource(const TTwainDevice& Device) override;

private:
    std::string FLibraryName;
    std::unique_ptr<TSaneLibrary> FLibrary;
    bool FOpen = false;
};

} // namespace lumeno
