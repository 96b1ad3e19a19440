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

    // Bytes that are not code page 932 become U+FFFD.
    std::string convert(std::string_view sjis);

private:
    void* converter_ = nullptr;  // iconv_t on POSIX
};

}  // namespace corvane
