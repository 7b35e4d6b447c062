#pragma once
// Date and time text from the classic format strings ("dd/mm/yyyy",
// "hh:nn:ss", "ddddd", "tt", "am/pm", quoted literals ...), with names,
// separators and the whole-date/whole-time forms from the system locale.

#include <QDateTime>
#include <string>

namespace lumeno {

std::string FormatDateTime(const std::string& format, const QDateTime& value);

// The formats an empty date or time format stands for.
constexpr const char* kShortDateFormat = "ddddd";
constexpr const char* kLongTimeFormat = "tt";

} // namespace lumeno
