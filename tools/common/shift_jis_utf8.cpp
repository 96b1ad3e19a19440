#include "tools/common/shift_jis_utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace corvane {

namespace {
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
}

#ifdef _WIN32

ShiftJisToUtf8::ShiftJisToUtf8() = default;
ShiftJisToUtf8::~ShiftJisToUtf8() = default;

std::string ShiftJisToUtf8::convert(std::string_view sjis) {
    if (sjis.empty()) return {};
    int wide = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
    if (wide <= 0) return kReplacement;
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), utf16.data(), wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return kReplacement;
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

#else

ShiftJisToUtf8::ShiftJisToUtf8() {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd != reinterpret_cast<iconv_t>(-1)) converter_ = cd;
}

ShiftJisToUtf8::~ShiftJisToUtf8() {
    if (converter_) iconv_close(static_cast<iconv_t>(converter_));
}

std::string ShiftJisToUtf8::convert(std::string_view sjis) {
    std::string out;
    if (!converter_) {  // no converter: keep ASCII, mark the rest
        for (char c : sjis) {
            if (static_cast<unsigned char>(c) < 0x80) out += c;
            else out += kReplacement;
        }
        return out;
    }
    iconv_t cd = static_cast<iconv_t>(converter_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(sjis.data());
    size_t inLeft = sjis.size();
    char block[1024];
    while (inLeft > 0) {
        char* outPtr = block;
        size_t outLeft = sizeof block;
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(block, static_cast<size_t>(outPtr - block));
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or incomplete character: one replacement, skip one byte.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

#endif

}  // namespace corvane
