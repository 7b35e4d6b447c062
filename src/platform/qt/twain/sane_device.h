#pragma once
// One opened SANE device: its options by their well-known names
// ("resolution", "mode", "tl-x" ...) and the scan of one image.

#include "platform/qt/global_memory.h"
#include "platform/qt/twain/sane_library.h"

#include <functional>
#include <string>
#include <vector>

namespace lumeno {

class TSaneDevice {
public:
    // Takes over Handle, closed with the device.
    TSaneDevice(TSaneLibrary& Library, SANE_Handle Handle);
    ~TSaneDevice();
    TSaneDevice(const TSaneDevice&) = delete;
    TSaneDevice& operator=(const TSaneDevice&) = delete;

    // nullptr when the device has no such option, or it is inactive.
    const SANE_Option_Descriptor* Option(const std::string& Name) const;
    // Integer and fixed-point options as numbers.
    bool GetNumber(const std::string& Name, double& Value) const;
    bool SetNumber(const std::string& Name, double Value);
    bool GetString(const std::string& Name, std::string& Value) const;
    bool SetString(const std::string& Name, const std::string& Value);
    // The choices of a string-list option; empty for any other.
    std::vector<std::string> StringChoices(const std::string& Name) const;

    // What a scan would deliver with the current options.
    bool Parameters(SANE_Parameters& Params) const;

    // Called with the bytes read so far and the bytes expected (0 when not
    // known); returning false stops the scan.
    using TProgress = std::function<bool(std::int64_t Done, std::int64_t Total)>;
    enum class TScanResult { Done, Cancelled, Failed };
    // Scans one image into a packed DIB.
    TScanResult Scan(HGLOBAL& Dib, const TProgress& Progress);
    // Why the last scan failed.
    const std::string& ErrorText() const { return FError; }

private:
    int OptionIndex(const std::string& Name) const;
    TScanResult ScanFailed(SANE_Status Status);

    TSaneLibrary& FLibrary;
    SANE_Handle FHandle;
    std::string FError;
};

} // namespace lumeno
