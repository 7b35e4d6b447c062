#include "platform/qt/twain/sane_device.h"

#include "platform/qt/twain/sane_dib_builder.h"

#include <cmath>
#include <vector>

namespace lumeno {

TSaneDevice::TSaneDevice(TSaneLibrary& Library, SANE_Handle Handle) : FLibrary(Library), FHandle(Handle) {}

TSaneDevice::~TSaneDevice()
{
    FLibrary.close(FHandle);
}

int TSaneDevice::OptionIndex(const std::string& Name) const
{
    SANE_Int count = 0;
    if (FLibrary.control_option(FHandle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = FLibrary.get_option_descriptor(FHandle, i);
        if (d && d->name && Name == d->name && !(d->cap & SANE_CAP_INACTIVE))
            return i;
    }
    return -1;
}

const SANE_Option_Descriptor* TSaneDevice::Option(const std::string& Name) const
{
    const int index = OptionIndex(Name);
    return index < 0 ? nullptr : FLibrary.get_option_descriptor(FHandle, index);
}

bool TSaneDevice::GetNumber(const std::string& Name, double& Value) const
{
    const int index = OptionIndex(Name);
    const SANE_Option_Descriptor* d = index < 0 ? nullptr : FLibrary.get_option_descriptor(FHandle, index);
    if (!d || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) ||
        d->size < static_cast<SANE_Int>(sizeof(SANE_Word)))
        return false;
    // An option may be a vector; its first element is what is wanted here.
    std::vector<SANE_Word> words(static_cast<std::size_t>(d->size) / sizeof(SANE_Word));
    if (FLibrary.control_option(FHandle, index, SANE_ACTION_GET_VALUE, words.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return false;
    Value = d->type == SANE_TYPE_FIXED ? SaneUnfix(words[0]) : words[0];
    return true;
}

bool TSaneDevice::SetNumber(const std::string& Name, double Value)
{
    const int index = OptionIndex(Name);
    const SANE_Option_Descriptor* d = index < 0 ? nullptr : FLibrary.get_option_descriptor(FHandle, index);
    if (!d || !(d->cap & SANE_CAP_SOFT_SELECT) || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) ||
        d->size != static_cast<SANE_Int>(sizeof(SANE_Word)))
        return false;
    SANE_Word word = d->type == SANE_TYPE_FIXED ? SaneFix(Value) : static_cast<SANE_Word>(std::lround(Value));
    return FLibrary.control_option(FHandle, index, SANE_ACTION_SET_VALUE, &word, nullptr) == SANE_STATUS_GOOD;
}

bool TSaneDevice::GetString(const std::string& Name, std::string& Value) const
{
    const int index = OptionIndex(Name);
    const SANE_Option_Descriptor* d = index < 0 ? nullptr : FLibrary.get_option_descriptor(FHandle, index);
    if (!d || d->type != SANE_TYPE_STRING || d->size <= 0)
        return false;
    std::vector<char> text(static_cast<std::size_t>(d->size) + 1, '\0');
    if (FLibrary.control_option(FHandle, index, SANE_ACTION_GET_VALUE, text.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return false;
    Value = text.data();
    return true;
}

bool TSaneDevice::SetString(const std::string& Name, const std::string& Value)
{
    const int index = OptionIndex(Name);
    const SANE_Option_Descriptor* d = index < 0 ? nullptr : FLibrary.get_option_descriptor(FHandle, index);
    if (!d || !(d->cap & SANE_CAP_SOFT_SELECT) || d->type != SANE_TYPE_STRING ||
        Value.size() >= static_cast<std::size_t>(std::max(d->size, 0)))
        return false;
    std::vector<char> text(static_cast<std::size_t>(d->size), '\0');
    Value.copy(text.data(), Value.size());
    return FLibrary.control_option(FHandle, index, SANE_ACTION_SET_VALUE, text.data(), nullptr) ==
           SANE_STATUS_GOOD;
}

std::vector<std::string> TSaneDevice::StringChoices(const std::string& Name) const
{
    std::vector<std::string> choices;
    const SANE_Option_Descriptor* d = Option(Name);
    if (d && d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list)
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
            choices.emplace_back(*s);
    return choices;
}

bool TSaneDevice::Parameters(SANE_Parameters& Params) const
{
    return FLibrary.get_parameters(FHandle, &Params) == SANE_STATUS_GOOD;
}

TSaneDevice::TScanResult TSaneDevice::ScanFailed(SANE_Status Status)
{
    FLibrary.cancel(FHandle);
    if (Status == SANE_STATUS_CANCELLED)
        return TScanResult::Cancelled;
    const char* text = FLibrary.strstatus(Status);
    FError = text ? text : "scanner error";
    return TScanResult::Failed;
}

TSaneDevice::TScanResult TSaneDevice::Scan(HGLOBAL& Dib, const TProgress& Progress)
{
    Dib = nullptr;
    FError.clear();
    TSaneDibBuilder builder;
    double dpi = 0;
    if (GetNumber("resolution", dpi))
        builder.SetResolution(dpi);
    std::vector<SANE_Byte> buffer(64 * 1024);
    for (bool last = false; !last;) {
        SANE_Status status = FLibrary.start(FHandle);
        SANE_Parameters params{};
        if (status == SANE_STATUS_GOOD)
            status = FLibrary.get_parameters(FHandle, &params);
        if (status != SANE_STATUS_GOOD)
            return ScanFailed(status);
        if (!builder.BeginFrame(params)) {
            FLibrary.cancel(FHandle);
            FError = builder.ErrorText();
            return TScanResult::Failed;
        }
        last = params.last_frame != 0;
        const std::int64_t total = params.lines > 0 ? std::int64_t{params.lines} * params.bytes_per_line : 0;
        std::int64_t done = 0;
        for (;;) {
            SANE_Int length = 0;
            status = FLibrary.read(FHandle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return ScanFailed(status);
            builder.Append(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
            done += length;
            if (Progress && !Progress(done, total))
                return ScanFailed(SANE_STATUS_CANCELLED);
        }
    }
    FLibrary.cancel(FHandle); // ends the scan; SANE asks for it after the last frame too
    Dib = builder.Build();
    if (!Dib) {
        FError = builder.ErrorText();
        return TScanResult::Failed;
    }
    return TScanResult::Done;
}

} // namespace lumeno
