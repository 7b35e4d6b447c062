#pragma once
// Errors of the file-list controls' bitmap loaders: each carries a code of
// its format's table and that code's text.

#include "platform/exception.h"

namespace lumeno {

class EBitmapMapError : public Exception {
public:
    EBitmapMapError(int code, const std::string& text) : Exception(text), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// Codes: 2 "Not a PCX file", 3 "File Too big", 4 "Bad data".
class EPcxException : public EBitmapMapError {
public:
    explicit EPcxException(int code);
};

// Codes: 2 "Not a TIF file", 3 "File Too big", 4 "Bad data", 5 "Unsupported
// Format", 6 "Unexpected EOF", 8 "Bad code".
class ETifException : public EBitmapMapError {
public:
    explicit ETifException(int code);
};

// Codes: 2 "Not a GIF file", 3 "Missing color table", 5 "No data", 7 "Bad
// code size", 8 "Bad code", 9 "Bad bit size".
class EGifException : public EBitmapMapError {
public:
    explicit EGifException(int code);
};

} // namespace lumeno
