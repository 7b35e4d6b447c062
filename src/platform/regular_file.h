#pragma once
// Only regular files are opened for reading: a pipe makes open() wait for a
// writer and a device may never end. TFileStream checks the file it opened;
// code that hands a path to another library's opener asks first.

#include <string>

namespace lumeno {

// Whether the path names a regular file (after links).
bool IsRegularFile(const std::string& path);

} // namespace lumeno
