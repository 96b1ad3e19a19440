#include "tools/common/shift_jis_utf8.h"

#include <algorithm>

#include "store/shift_jis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace corvane {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Bytes of the character starting at `at`: two for a lead byte with a byte
// after it, else one.
size_t characterLength(std::string_view sjis, size_t at) {
    return isShiftJisLeadByte(static_cast<unsigned char>(sjis[at])) && at + 1 < sjis.size() ? 2 : 1;
}

}  // namespace

#ifdef _WIN32

ShiftJisToUtf8::ShiftJisToUtf8() = default;
ShiftJisToUtf8::~ShiftJisToUtf8() = default;

namespace {

// Strict conversion (no default characters); false when any byte is not code page 932.
bool convertStrict(std::string_view sjis, std::wstring& wide, std::string& out) {
    const int size = static_cast<int>(sjis.size());
    int units = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, sjis.data(), size, nullptr, 0);
    if (units <= 0) return false;
    wide.resize(static_cast<size_t>(units));
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, sjis.data(), size, wide.data(), units);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, out.data() + at, bytes, nullptr, nullptr);
    return true;
}

}  // namespace

std::string ShiftJisToUtf8::convert(std::string_view sjis) {
    std::string out;
    if (sjis.empty()) return out;
    std::wstring wide;
    if (convertStrict(sjis, wide, out)) return out;
    // Character by character, so that only the bad ones are replaced (as
    // iconv does it on POSIX) rather than by the code page's default character.
    for (size_t at = 0; at < sjis.size();) {
        const size_t n = characterLength(sjis, at);
        if (!convertStrict(sjis.substr(at, n), wide, out)) out += kReplacement;
        at += n;
    }
    return out;
}

#else

namespace {

// All of `text` through `cd`. A character it cannot convert becomes
// `replacement`, `skip(rest)` bytes of the rest are passed over and the
// conversion goes on after them.
template <class Skip>
std::string convertAll(iconv_t cd, std::string_view text, std::string_view replacement, Skip skip) {
    std::string out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char block[1024];
    while (inLeft > 0) {
        char* outPtr = block;
        size_t outLeft = sizeof block;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(block, static_cast<size_t>(outPtr - block));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
        const size_t n = std::min(skip(std::string_view(in, inLeft)), inLeft);
        out += replacement;
        in += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

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
        for (size_t at = 0; at < sjis.size(); at += characterLength(sjis, at)) {
            if (static_cast<unsigned char>(sjis[at]) < 0x80) out += sjis[at];
            else out += kReplacement;
        }
        return out;
    }
    // An invalid or incomplete character: one replacement for all of it
    // (a lead byte takes its second byte along).
    return convertAll(static_cast<iconv_t>(converter_), sjis, kReplacement,
                      [](std::string_view rest) { return characterLength(rest, 0); });
}

namespace {

// Bytes of the well-formed UTF-8 sequence at the start of `s`, 0 when it is not one.
size_t utf8SequenceLength(std::string_view s) {
    const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                       : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0) return 0;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::optional<std::string> utf8ToShiftJis(std::string_view utf8) {
    for (size_t at = 0; at < utf8.size();) {
        const size_t n = utf8SequenceLength(utf8.substr(at));
        if (n == 0) return std::nullopt;
        at += n;
    }
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    // A character code page 932 lacks (the text is well-formed).
    std::string out = convertAll(cd, utf8, "\xFF", [](std::string_view rest) {
        return std::max<size_t>(1, utf8SequenceLength(rest));
    });
    iconv_close(cd);
    return out;
}

#endif

}  // namespace corvane
