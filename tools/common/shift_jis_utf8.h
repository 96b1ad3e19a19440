// Shift_JIS (code page 932) to UTF-8 for the tools' text output, through the
// platform's converter (iconv on POSIX, the code page functions on Windows).
#pragma once

#include <optional>
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

#ifndef _WIN32
// UTF-8 (as a POSIX command line passes text) to Shift_JIS, through iconv;
// nothing when the text is not UTF-8. A character that code page 932 lacks
// becomes the byte 0xFF, which is no Shift_JIS character.
std::optional<std::string> utf8ToShiftJis(std::string_view utf8);
#endif

}  // namespace corvane
