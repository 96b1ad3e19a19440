// Shift_JIS (code page 932) to UTF-8 for the tools' text output, through the
// platform's converter (iconv on POSIX, the code page functions on Windows).
#pragma once

#include <string>
#include <string_view>

namespace corvane {

class ShiftJisToUtf8 {
public:
    ShiftJisToUtf8();
    ~ShiftJisToUtf8();
    ShiftJisToUtf8(const ShiftJisToUtf8&) = delete;
    ShiftJisToUtf8& operator=(const ShiftJisToUtf8&) = delete;

    // A character that is not code page 932 (a lead byte with its second
    // byte, or a single byte) becomes one U+FFFD, on every platform.
    std::string convert(std::string_view sjis);

private:
    void* converter_ = nullptr;  // iconv_t on POSIX
};

}  // namespace corvane
