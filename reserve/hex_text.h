// The capture tool's account name and password are kept in the settings file
// as hexadecimal text: two lower-case digits per byte.
#pragma once

#include <string>

namespace corvane {

// The text as hex digit pairs.
std::string encodeHexText(const std::string& text);

// Digit pairs parsed with base 16 (a pair is worth its leading hex digits);
// a zero byte ends the text, which is cut to 99 bytes (whole characters).
std::string decodeHexText(const std::string& hex);

}  // namespace corvane
