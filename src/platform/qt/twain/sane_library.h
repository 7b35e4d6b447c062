#pragma once
// The SANE scanner library, loaded at run time. Only the few types and calls
// the scanner sources use are declared here, after SANE's public C API.

#include <cstdint>
#include <string>

namespace lumeno {

using SANE_Word = std::int32_t;
using SANE_Int = SANE_Word;
using SANE_Bool = SANE_Word;
using SANE_Fixed = SANE_Word; // 16.16 fixed point
using SANE_Byte = std::uint8_t;
using SANE_Char = char;
using SANE_String_Const = const SANE_Char*;
using SANE_Handle = void*;
using SANE_Status = int;

constexpr SANE_Status SANE_STATUS_GOOD = 0;
constexpr SANE_Status SANE_STATUS_CANCELLED = 2;
constexpr SANE_Status SANE_STATUS_EOF = 5;

enum SANE_Value_Type : int {
    SANE_TYPE_BOOL,
    SANE_TYPE_INT,
    SANE_TYPE_FIXED,
    SANE_TYPE_STRING,
    SANE_TYPE_BUTTON,
    SANE_TYPE_GROUP
};
enum SANE_Constraint_Type : int {
    SANE_CONSTRAINT_NONE,
    SANE_CONSTRAINT_RANGE,
    SANE_CONSTRAINT_WORD_LIST,
    SANE_CONSTRAINT_STRING_LIST
};
enum SANE_Action : int { SANE_ACTION_GET_VALUE, SANE_ACTION_SET_VALUE, SANE_ACTION_SET_AUTO };
enum SANE_Frame : int { SANE_FRAME_GRAY, SANE_FRAME_RGB, SANE_FRAME_RED, SANE_FRAME_GREEN, SANE_FRAME_BLUE };

constexpr SANE_Int SANE_CAP_SOFT_SELECT = 1 << 0;
constexpr SANE_Int SANE_CAP_INACTIVE = 1 << 5;

struct SANE_Device {
    SANE_String_Const name;
    SANE_String_Const vendor;
    SANE_String_Const model;
    SANE_String_Const type;
};

struct SANE_Range {
    SANE_Word min;
    SANE_Word max;
    SANE_Word quant;
};

struct SANE_Option_Descriptor {
    SANE_String_Const name;
    SANE_String_Const title;
    SANE_String_Const desc;
    SANE_Value_Type type;
    int unit;
    SANE_Int size;
    SANE_Int cap;
    SANE_Constraint_Type constraint_type;
    union {
        const SANE_String_Const* string_list;
        const SANE_Word* word_list; // first word: the count
        const SANE_Range* range;
    } constraint;
};

struct SANE_Parameters {
    SANE_Frame format;
    SANE_Bool last_frame;
    SANE_Int bytes_per_line;
    SANE_Int pixels_per_line;
    SANE_Int lines; // -1 when not known before the end
    SANE_Int depth;
};

inline double SaneUnfix(SANE_Fixed v)
{
    return v / 65536.0;
}
inline SANE_Fixed SaneFix(double v)
{
    return static_cast<SANE_Fixed>(v * 65536.0 + (v < 0 ? -0.5 : 0.5));
}

class TSaneLibrary {
public:
    using AuthCallback = void (*)(SANE_String_Const, SANE_Char*, SANE_Char*);

    // Loads the library and looks up its calls; Loaded() tells whether it
    // worked. Nothing is initialised: no device is probed.
    explicit TSaneLibrary(const std::string& FileName);
    ~TSaneLibrary();
    TSaneLibrary(const TSaneLibrary&) = delete;
    TSaneLibrary& operator=(const TSaneLibrary&) = delete;

    bool Loaded() const { return FHandle != nullptr; }

    SANE_Status (*init)(SANE_Int* version, AuthCallback authorize) = nullptr;
    void (*exit)() = nullptr;
    SANE_Status (*get_devices)(const SANE_Device*** list, SANE_Bool local_only) = nullptr;
    SANE_Status (*open)(SANE_String_Const name, SANE_Handle* h) = nullptr;
    void (*close)(SANE_Handle h) = nullptr;
    const SANE_Option_Descriptor* (*get_option_descriptor)(SANE_Handle h, SANE_Int n) = nullptr;
    SANE_Status (*control_option)(SANE_Handle h, SANE_Int n, SANE_Action a, void* v, SANE_Int* i) = nullptr;
    SANE_Status (*get_parameters)(SANE_Handle h, SANE_Parameters* p) = nullptr;
    SANE_Status (*start)(SANE_Handle h) = nullptr;
    SANE_Status (*read)(SANE_Handle h, SANE_Byte* buf, SANE_Int maxlen, SANE_Int* len) = nullptr;
    void (*cancel)(SANE_Handle h) = nullptr;
    SANE_String_Const (*strstatus)(SANE_Status status) = nullptr;

private:
    bool Resolve();

    void* FHandle = nullptr;
};

} // namespace lumeno
